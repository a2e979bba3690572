#pragma once
// The application object: the title, the main window, the event loop and the default failure handling.
#include "vcl/data/component.h"

#include <exception>
#include <new>
#include <string>

namespace vcl {

class TForm;

class TApplication : public TComponent {
public:
    // The title is derived from the executable's file name (see application_title.h).
    explicit TApplication(const std::string& executablePath);
    TApplication();
    // Releases every window the application owns, the main window among them.
    ~TApplication() override;

    const std::string& Title() const noexcept { return title_; }
    // The executable's full file name.
    const std::string& ExeName() const noexcept { return exeName_; }

    // Prepares the application for building windows. Nothing is shown.
    void Initialize();

    // Builds a window of class T owned by the application. The reference is set before construction
    // begins, so that the window's own handlers can reach it; a failure that escapes construction releases
    // the half-built window, clears the reference and passes on. The first window so built is the main one.
    template <class T>
    void CreateForm(T*& reference);

    TForm* MainForm() const noexcept { return mainForm_; }

    // Shows the main window and runs the event loop until it ends; returns the exit code.
    int Run();
    // Ends the event loop; closing the main window calls it.
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }

    // The default failure handling: a silent abort shows nothing, anything else the error box.
    void HandleException(std::exception_ptr failure) override;
    // The error box for a failure: its message (with the full-stop rule) under the application title.
    void ShowException(const std::exception& failure);

private:
    void formBuilt(TForm* form);

    std::string exeName_;
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

// The application object; it exists while the program runs.
extern TApplication* Application;

template <class T>
void TApplication::CreateForm(T*& reference)
{
    void* memory = ::operator new(sizeof(T));
    reference = static_cast<T*>(memory);
    T* form = nullptr;
    try {
        form = ::new (memory) T(this);
    } catch (...) {
        // Whatever the window had already built went with its base destructors.
        reference = nullptr;
        ::operator delete(memory);
        throw;
    }
    formBuilt(form);
}

}  // namespace vcl
