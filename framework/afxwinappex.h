// CWinAppEx lives with the other application classes.
#pragma once

#include "afxwin.h"
