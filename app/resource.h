// Resource identifiers of Quilbrook.exe.
#pragma once

#define IDR_MAINFRAME 128
