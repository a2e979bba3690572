// The program's entry: the application is initialised, the main window built, and the event loop run.
#include "main/main.h"
#include "vcl/widgets/application.h"
#include "vcl/widgets/program.h"

int main(int argc, char* argv[])
{
    return vcl::RunProgram(argc, argv, [] {
        vcl::Application->Initialize();
        vcl::Application->CreateForm(Form1);
        return vcl::Application->Run();
    });
}
