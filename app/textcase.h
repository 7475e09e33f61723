// Lower-casing of the letters A to Z only, as file names are compared and formed here.
#pragma once

#include <afx.h>

CString LowerCaseLetters(const CString& text);
