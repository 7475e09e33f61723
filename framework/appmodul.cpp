// The program's entry point. The linker takes it from the framework library only when the
// program defines no wWinMain of its own; the program then only defines its application
// object (a global CWinApp), and the framework runs it.
#include "afxwin.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
