#include "vcl/data/exceptions.h"

#include "vcl/data/component.h"

namespace vcl {

std::string componentMessage(std::string_view message, const TComponent* component)
{
    if (component == nullptr || component->Name().empty())
        return std::string(message);
    std::string text = component->Name();
    text += ": ";
    text += message;
    return text;
}

void DatabaseError(std::string_view message, const TComponent* component)
{
    throw EDatabaseError(componentMessage(message, component));
}

std::string trimEngineMessage(std::string_view message)
{
    std::size_t length = message.size();
    // Blanks, line breaks, every other control character and full stops go; a byte of a UTF-8 sequence
    // is never below 0x80, so Chinese text ends untouched.
    while (length > 0) {
        const auto c = static_cast<unsigned char>(message[length - 1]);
        if (c > ' ' && c != '.')
            break;
        --length;
    }
    return std::string(message.substr(0, length));
}

void EngineFailure(std::string_view engineMessage)
{
    std::string text = trimEngineMessage(engineMessage);
    if (text.empty())
        text = "OLE error 80004005";  // E_FAIL: the engine said nothing about the failure
    throw EOleException(std::move(text));
}

const char* failureClassName(const std::exception& failure) noexcept
{
    if (const auto* own = dynamic_cast<const Exception*>(&failure))
        return own->ClassName();
    return "Exception";
}

}  // namespace vcl
