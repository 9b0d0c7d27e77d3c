#include "About.h"
#include "CompilerU.h"
#include "FindU.h"
#include "OptionsU.h"
#include "QPadU.h"

int RunApplication(HINSTANCE, int showCommand) {
    InitCompilerU();
    ApplicationTitle = kAppTitle;
    QPadF = new TQPadF();
    AboutBox = new TAboutBox(QPadF->Handle());
    OptionsF = new TOptionsF(QPadF->Handle());
    FindF = new TFindF(QPadF->Handle());
    QPadF->Show(showCommand);
    int code = RunMessageLoop();
    delete FindF;
    delete OptionsF;
    OptionsF = nullptr;
    delete AboutBox;
    delete QPadF;
    DoneCompilerU();
    return code;
}
