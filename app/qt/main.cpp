// kinloom: the desktop viewer. `kinloom FILE` opens FILE as the desktop's
// request to open a document.

#include "LNQtViewer.h"

int main(int argc, char** argv) {
    return kinloom::applicationMain(argc, argv);
}
