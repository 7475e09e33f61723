// The Feature Pack's umbrella header; this program uses only CWinAppEx from it.
#pragma once

#include "afxwinappex.h"
