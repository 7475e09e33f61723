// Quilbrook.exe: the one application object. The framework's entry point runs it.
#include "quilbrookapp.h"

CQuilbrookApp theApp;
