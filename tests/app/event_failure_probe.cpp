// A failure that escapes the handling of an event reaches the error box, and the event loop goes on:
// the program's block builds a window, a timer's handler fails while the loop runs, a second one closes
// the window. Exit code 0 when all of that happened as it should.
#include "modal_box_watcher.h"
#include "vcl/data/exceptions.h"
#include "vcl/widgets/application.h"
#include "vcl/widgets/form.h"
#include "vcl/widgets/program.h"

#include <QTimer>

#include <cstdio>

namespace {

class ProbeForm : public vcl::TForm {
public:
    explicit ProbeForm(vcl::TComponent* owner) : vcl::TForm(owner) { SetCaption("probe"); }
};

ProbeForm* probeForm = nullptr;

}  // namespace

int main(int argc, char** argv)
{
    int boxesSeen = 0;
    std::string text;
    bool closedAfterTheFailure = false;
    const int exitCode = vcl::RunProgram(argc, argv, [&] {
        vcl::Application->Initialize();
        vcl::Application->CreateForm(probeForm);
        testing_support::ModalBoxWatcher boxes;
        QTimer::singleShot(20, [] { throw vcl::Exception("raised while handling an event"); });
        QTimer::singleShot(200, [&] {
            boxesSeen = static_cast<int>(boxes.boxes().size());
            if (boxesSeen)
                text = boxes.boxes()[0].text;
            closedAfterTheFailure = true;
            probeForm->Close();
        });
        return vcl::Application->Run();
    });
    const bool ok = exitCode == 0 && closedAfterTheFailure && boxesSeen == 1 && text == "raised while handling an event.";
    std::printf("exit code %d, loop went on: %s, boxes: %d, text: '%s'\n", exitCode, closedAfterTheFailure ? "yes" : "no",
                boxesSeen, text.c_str());
    return ok ? 0 : 1;
}
