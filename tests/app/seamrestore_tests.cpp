// A test that replaces the program's file dialog and leaves it replaced does not hand the
// replacement to the tests after it.
#include "selectfilepage.h"

#include <gtest/gtest.h>

namespace
{
// Constant-initialised: the program's own runner, before any test ran.
const CSelectFilePage::FileDialogRunner kProgramsFileDialog = CSelectFilePage::s_runFileDialog;

INT_PTR AnswerCancel(CFileDialog&)
{
    return IDCANCEL;
}
}

// The two run in this order: the second sees what the first left behind.
TEST(SeamRestore, ATestMayLeaveTheFileDialogReplaced)
{
    EXPECT_EQ(kProgramsFileDialog, CSelectFilePage::s_runFileDialog);
    CSelectFilePage::s_runFileDialog = &AnswerCancel;
}

TEST(SeamRestore, TheNextTestStartsWithTheProgramsOwn)
{
    EXPECT_EQ(kProgramsFileDialog, CSelectFilePage::s_runFileDialog);
}
