#include "ado/sql/function_nodes.h"

#include <algorithm>
#include <array>
#include <functional>

#include "ado/sql/error_at.h"
#include "ado/sql/text.h"

namespace ado::sql::detail {
namespace {

// A function whose result is Null when any argument is Null.
class StrictFunction : public Node {
public:
    StrictFunction(std::vector<NodePtr> arguments, std::size_t position)
        : Node(position), arguments_(std::move(arguments)), values_(arguments_.size()) {}
    bool isConstant() const final { return allConstant(arguments_); }
    Datum eval(std::size_t row) const final {
        for (std::size_t i = 0; i < arguments_.size(); ++i) {
            values_[i] = arguments_[i]->eval(row);
            if (values_[i].isNull()) return Datum::null();
        }
        return apply(values_);
    }

protected:
    virtual Datum apply(const std::vector<Datum>& values) const = 0;
    std::size_t argumentCount() const { return arguments_.size(); }
    std::size_t argumentPosition(std::size_t i) const { return arguments_[i]->position(); }
    std::string_view text(const std::vector<Datum>& values, std::size_t i) const {
        return toText(values[i], scratch_[i % scratch_.size()]);
    }
    std::int64_t integer(const std::vector<Datum>& values, std::size_t i) const {
        return toInteger(values[i], argumentPosition(i));
    }
    [[noreturn]] void invalidArgument(const std::string& why) const {
        failAt("无效的过程调用或参数：" + why, position());
    }

    mutable std::string buffer_;

private:
    std::vector<NodePtr> arguments_;
    mutable std::vector<Datum> values_;
    mutable std::array<std::string, 4> scratch_;
};

class InStr final : public StrictFunction {
public:
    using StrictFunction::StrictFunction;
    Datum apply(const std::vector<Datum>& v) const override {
        const bool hasStart = argumentCount() >= 3;
        std::int64_t start = 1;
        if (hasStart) {
            start = integer(v, 0);
            if (start < 1) invalidArgument("InStr 的起始位置必须大于 0");
        }
        bool caseless = true;  // without a comparison argument: the database's, which ignores case
        if (argumentCount() == 4) {
            const std::int64_t mode = integer(v, 3);
            if (mode < 0 || mode > 2) invalidArgument("InStr 的比较方式只能是 0、1 或 2");
            caseless = mode != 0;
        }
        const std::string_view haystack = text(v, hasStart ? 1 : 0);
        const std::string_view needle = text(v, hasStart ? 2 : 1);
        return Datum::ofInteger(static_cast<std::int64_t>(
            findText(haystack, needle, static_cast<std::size_t>(start), caseless)));
    }
};

class CaseMap final : public StrictFunction {
public:
    CaseMap(bool lower, std::vector<NodePtr> arguments, std::size_t position)
        : StrictFunction(std::move(arguments), position), lower_(lower) {}
    Datum apply(const std::vector<Datum>& v) const override {
        const std::string_view source = text(v, 0);
        if (lower_) lowerCase(source, buffer_);
        else upperCase(source, buffer_);
        return Datum::ofText(buffer_);
    }

private:
    bool lower_;
};

class Len final : public StrictFunction {
public:
    using StrictFunction::StrictFunction;
    Datum apply(const std::vector<Datum>& v) const override {
        return Datum::ofInteger(static_cast<std::int64_t>(utf16Length(text(v, 0))));
    }
};

class Slice final : public StrictFunction {
public:
    enum class Which { Left, Right, Mid };
    Slice(Which which, std::vector<NodePtr> arguments, std::size_t position)
        : StrictFunction(std::move(arguments), position), which_(which) {}
    Datum apply(const std::vector<Datum>& v) const override {
        const std::string_view s = text(v, 0);
        const std::size_t length = utf16Length(s);
        if (which_ == Which::Mid) {
            const std::int64_t start = integer(v, 1);
            if (start < 1) invalidArgument("Mid 的起始位置必须大于 0");
            std::int64_t count = static_cast<std::int64_t>(length);
            if (argumentCount() == 3) {
                count = integer(v, 2);
                if (count < 0) invalidArgument("Mid 的长度不能为负数");
            }
            return Datum::ofText(substringUnits(s, static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
        }
        const std::int64_t n = integer(v, 1);
        if (n < 0) invalidArgument(std::string(which_ == Which::Left ? "Left" : "Right") + " 的长度不能为负数");
        const std::size_t count = std::min(static_cast<std::size_t>(n), length);
        if (which_ == Which::Left) return Datum::ofText(substringUnits(s, 0, count));
        return Datum::ofText(substringUnits(s, length - count, count));
    }

private:
    Which which_;
};

// Trim, LTrim, RTrim remove blanks (U+0020) only, as Jet does.
class TrimBlanks final : public StrictFunction {
public:
    TrimBlanks(bool left, bool right, std::vector<NodePtr> arguments, std::size_t position)
        : StrictFunction(std::move(arguments), position), left_(left), right_(right) {}
    Datum apply(const std::vector<Datum>& v) const override {
        std::string_view s = text(v, 0);
        if (left_) s.remove_prefix(std::min(s.find_first_not_of(' '), s.size()));
        if (right_) {
            const std::size_t last = s.find_last_not_of(' ');
            s = last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
        }
        return Datum::ofText(s);
    }

private:
    bool left_, right_;
};

// Nz(value[, instead]): value unless it is Null; then instead, or an empty text without it.
class Nz final : public Node {
public:
    Nz(std::vector<NodePtr> arguments, std::size_t position) : Node(position), arguments_(std::move(arguments)) {}
    bool isConstant() const override { return allConstant(arguments_); }
    Datum eval(std::size_t row) const override {
        const Datum v = arguments_[0]->eval(row);
        if (!v.isNull()) return v;
        return arguments_.size() == 2 ? arguments_[1]->eval(row) : Datum::ofText({});
    }

private:
    std::vector<NodePtr> arguments_;
};

// IIf(condition, then, else): only the chosen branch is evaluated; a Null condition chooses else.
class IIf final : public Node {
public:
    IIf(std::vector<NodePtr> arguments, std::size_t position) : Node(position), arguments_(std::move(arguments)) {}
    bool isConstant() const override { return allConstant(arguments_); }
    Datum eval(std::size_t row) const override {
        const std::optional<bool> c = toCondition(arguments_[0]->eval(row), arguments_[0]->position());
        return arguments_[c.value_or(false) ? 1 : 2]->eval(row);
    }

private:
    std::vector<NodePtr> arguments_;
};

struct FunctionInfo {
    std::string_view name;
    std::size_t minArguments, maxArguments;
    std::function<NodePtr(std::vector<NodePtr>, std::size_t)> make;
};

template <typename T, typename... Extra>
auto maker(Extra... extra) {
    return [=](std::vector<NodePtr> arguments, std::size_t position) -> NodePtr {
        return std::make_unique<T>(extra..., std::move(arguments), position);
    };
}

const std::vector<FunctionInfo>& functions() {
    static const std::vector<FunctionInfo> table = {
        {"InStr", 2, 4, maker<InStr>()},
        {"LCase", 1, 1, maker<CaseMap>(true)},
        {"UCase", 1, 1, maker<CaseMap>(false)},
        {"Len", 1, 1, maker<Len>()},
        {"Left", 2, 2, maker<Slice>(Slice::Which::Left)},
        {"Right", 2, 2, maker<Slice>(Slice::Which::Right)},
        {"Mid", 2, 3, maker<Slice>(Slice::Which::Mid)},
        {"Trim", 1, 1, maker<TrimBlanks>(true, true)},
        {"LTrim", 1, 1, maker<TrimBlanks>(true, false)},
        {"RTrim", 1, 1, maker<TrimBlanks>(false, true)},
        {"Nz", 1, 2, maker<Nz>()},
        {"IIf", 3, 3, maker<IIf>()},
    };
    return table;
}

std::string countText(const FunctionInfo& f) {
    if (f.minArguments == f.maxArguments) return std::to_string(f.minArguments) + " 个";
    return std::to_string(f.minArguments) + " 到 " + std::to_string(f.maxArguments) + " 个";
}

}  // namespace

NodePtr makeFunction(std::string_view name, std::vector<NodePtr> arguments, std::size_t position) {
    const auto& all = functions();
    const auto found = std::find_if(all.begin(), all.end(), [&](const FunctionInfo& f) { return compareText(f.name, name) == 0; });
    if (found == all.end()) failAt("表达式中的函数“" + std::string(name) + "”未定义", position);
    if (arguments.size() < found->minArguments || arguments.size() > found->maxArguments)
        failAt("函数 " + std::string(found->name) + " 的参数个数不对：应为 " + countText(*found) + "，却有 " +
                   std::to_string(arguments.size()) + " 个",
               position);
    return found->make(std::move(arguments), position);
}

}  // namespace ado::sql::detail
