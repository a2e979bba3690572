#include "vcl/widgets/application_title.h"

#include "vcl/widgets/utf8_text.h"

#include <QString>

#include <filesystem>
#include <system_error>

namespace vcl {

std::string titleFromExecutablePath(std::string_view path)
{
    // Both separators end a folder: a name may come from either kind of system.
    const auto slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // A full stop is a single byte in UTF-8 and never part of another character, so a byte scan finds it.
    if (const auto dot = name.find('.'); dot != std::string_view::npos)
        name = name.substr(0, dot);

    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (text.isEmpty())
        return {};
    const qsizetype firstLength = text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1;
    const QString title = text.left(firstLength) + text.mid(firstLength).toLower();
    return truncateUtf8(title.toStdString(), kMaxTitleBytes);
}

std::string runningExecutablePath()
{
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

}  // namespace vcl
