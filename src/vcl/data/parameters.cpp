#include "vcl/data/parameters.h"

#include <algorithm>
#include <cctype>

#include "vcl/data/exceptions.h"

namespace vcl {

TParameter* TParameters::FindParam(std::string_view name)
{
    const auto same = [name](const TParameter& parameter) {
        return std::ranges::equal(parameter.Name, name, [](unsigned char x, unsigned char y) {
            return std::tolower(x) == std::tolower(y);
        });
    };
    const auto found = std::ranges::find_if(items_, same);
    return found != items_.end() ? &*found : nullptr;
}

TParameter& TParameters::ParamByName(std::string_view name)
{
    TParameter* parameter = FindParam(name);
    if (parameter == nullptr)
        throw EDatabaseError("Parameter '" + std::string(name) + "' not found");
    return *parameter;
}

TParameter& TParameters::Add(std::string name)
{
    items_.push_back(TParameter{std::move(name), std::nullopt, TFieldType::ftUnknown});
    return items_.back();
}

}  // namespace vcl
