#pragma once
// The component layer's failures. Every failure carries a UTF-8 message and names its class, as the error
// boxes show them ("Exception", "EAbort", "EDatabaseError", "EOleException").
#include <stdexcept>
#include <string>
#include <string_view>

namespace vcl {

class TComponent;

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    virtual const char* ClassName() const noexcept { return "Exception"; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// A silent abort: the application's failure handling shows nothing for it.
class EAbort : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EAbort"; }
};

// A failure of a data-access component; its message names the component in front ("qry1: ...").
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EDatabaseError"; }
};

// A failure that the database engine reported, with the engine's own words and no name in front.
class EOleException : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EOleException"; }
};

// "%s: %s" with the component's name in front, or the message alone when there is no component or no name.
std::string componentMessage(std::string_view message, const TComponent* component);

// Raises EDatabaseError with the component's name in front of the message.
[[noreturn]] void DatabaseError(std::string_view message, const TComponent* component = nullptr);

// The engine's description without trailing blanks, control characters and full stops.
std::string trimEngineMessage(std::string_view message);

// Raises EOleException carrying the engine's trimmed message ("OLE error 80004005" when nothing is left).
[[noreturn]] void EngineFailure(std::string_view engineMessage);

// The class name of any failure: a component-layer failure's own, "Exception" for anything else.
const char* failureClassName(const std::exception& failure) noexcept;

}  // namespace vcl
