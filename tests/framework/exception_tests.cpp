// Exceptions: TRY/CATCH clean-up, THROW_LAST, the report of escaped exceptions and
// of failed assertions.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "testmain.h"

namespace
{
int g_nLiveExceptions = 0;

class CCountedException : public CException
{
public:
    CCountedException() { ++g_nLiveExceptions; }
    ~CCountedException() override { --g_nLiveExceptions; }
};

class CCountedFileException : public CFileException
{
public:
    explicit CCountedFileException(int cause) : CFileException(cause) { ++g_nLiveExceptions; }
    ~CCountedFileException() override { --g_nLiveExceptions; }
};
}

TEST(TryCatch, DeletesTheCaughtExceptionOnce)
{
    g_nLiveExceptions = 0;
    int nCaught = 0;
    // Left alone, deleted by the handler, and deleted after a nested handler.
    for (int variant = 0; variant < 3; ++variant)
    {
        TRY
        {
            THROW(new CCountedException);
        }
        CATCH(CException, e)
        {
            ++nCaught;
            if (variant == 1)
                e->Delete();
            if (variant == 2)
            {
                TRY
                {
                    AfxThrowNotSupportedException();
                }
                CATCH_ALL(inner)
                {
                    EXPECT_TRUE(inner->IsKindOf(RUNTIME_CLASS(CNotSupportedException)));
                }
                END_CATCH_ALL
            }
        }
        END_CATCH
    }
    EXPECT_EQ(3, nCaught);
    EXPECT_EQ(0, g_nLiveExceptions);
}

TEST(TryCatch, AndCatchPicksTheFirstMatchingClass)
{
    g_nLiveExceptions = 0;
    int cause = -1;
    TRY
    {
        throw new CCountedFileException(CFileException::endOfFile);
    }
    CATCH(CMemoryException, e)
    {
        ADD_FAILURE() << "wrong handler";
    }
    AND_CATCH(CFileException, e)
    {
        cause = e->m_cause;
    }
    AND_CATCH(CException, e)
    {
        ADD_FAILURE() << "wrong handler";
    }
    END_CATCH
    EXPECT_EQ(CFileException::endOfFile, cause);
    EXPECT_EQ(0, g_nLiveExceptions);
}

TEST(TryCatch, ThrowLastPassesTheSameExceptionOn)
{
    g_nLiveExceptions = 0;
    CException* pInner = nullptr;
    CException* pOuter = nullptr;
    TRY
    {
        TRY
        {
            THROW(new CCountedException);
        }
        CATCH(CException, e)
        {
            pInner = e;
            THROW_LAST();
        }
        END_CATCH
    }
    CATCH(CException, e)
    {
        pOuter = e;
        EXPECT_EQ(1, g_nLiveExceptions);
    }
    END_CATCH
    EXPECT_EQ(pInner, pOuter);
    EXPECT_EQ(0, g_nLiveExceptions);
}

TEST(Exceptions, MemoryExceptionIsOneStaticObject)
{
    CException* pFirst = nullptr;
    try
    {
        AfxThrowMemoryException();
    }
    catch (CMemoryException* e)
    {
        pFirst = e;
        e->Delete();  // must not free the shared object
    }
    try
    {
        AfxThrowMemoryException();
    }
    catch (CException* e)
    {
        EXPECT_EQ(pFirst, e);
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CMemoryException)));
        wchar_t message[64];
        EXPECT_TRUE(e->GetErrorMessage(message, 64));
        EXPECT_STREQ(L"Out of memory.", message);
        e->Delete();
    }
}

TEST(Exceptions, FileExceptionCarriesCauseAndOsError)
{
    try
    {
        AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK, L"x.png");
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(9, e->m_cause);
        EXPECT_EQ(ERROR_NEGATIVE_SEEK, e->m_lOsError);
        EXPECT_STREQ(L"x.png", e->m_strFileName);
        ASSERT_KINDOF(CFileException, e);
        e->Delete();
    }
    const struct
    {
        LONG lOsError;
        int cause;
    } cases[] = {{ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
                 {ERROR_PATH_NOT_FOUND, CFileException::badPath},
                 {ERROR_ACCESS_DENIED, CFileException::accessDenied},
                 {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
                 {ERROR_DISK_FULL, CFileException::diskFull},
                 {ERROR_HANDLE_EOF, CFileException::endOfFile},
                 {ERROR_NOT_ENOUGH_MEMORY, CFileException::genericException}};
    for (const auto& c : cases)
        EXPECT_EQ(c.cause, CFileException::OsErrorToException(c.lOsError)) << c.lOsError;
}

TEST(Exceptions, EscapedExceptionFailsTheTestAndIsDeleted)
{
    g_nLiveExceptions = 0;
    EXPECT_NONFATAL_FAILURE(AfxReportUncaughtException(new CCountedFileException(CFileException::diskFull)),
                            "uncaught CFileException");
    EXPECT_EQ(0, g_nLiveExceptions);
}

TEST(Diagnostics, FailedAssertionFailsTheTestWithFileAndLine)
{
    testing::TestPartResultArray failures;
    int nLine = 0;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        nLine = __LINE__ + 1;
        ASSERT(1 + 1 == 3);
    }
    ASSERT_EQ(1, failures.size());
    EXPECT_TRUE(failures.GetTestPartResult(0).nonfatally_failed());
    EXPECT_EQ(nLine, failures.GetTestPartResult(0).line_number());
    EXPECT_NE(nullptr, strstr(failures.GetTestPartResult(0).file_name(), "exception_tests.cpp"));

    EXPECT_NONFATAL_FAILURE(VERIFY(false), "framework assertion failed");
    int nEvaluated = 0;
    VERIFY(++nEvaluated == 1);
    EXPECT_EQ(1, nEvaluated);

    CountFrameworkAssertions assertions;
    ASSERT_VALID(static_cast<CObject*>(nullptr));
    ASSERT(true);
    EXPECT_EQ(1, assertions.Count());
}

TEST(Exceptions, FailedNewThrowsMemoryException)
{
    bool bCaught = false;
    try
    {
        // More than any address space holds.
        volatile size_t nHuge = static_cast<size_t>(-1) / 2;
        static char* volatile s_pKept;  // keeps the compiler from dropping the allocation
        s_pKept = new char[nHuge];
        delete[] s_pKept;
    }
    catch (CMemoryException* e)
    {
        bCaught = true;
        e->Delete();
    }
    EXPECT_TRUE(bCaught);
}

namespace
{
CString g_shownText;
UINT g_nShownType = 0;

int RecordMessageBox(LPCTSTR lpszText, LPCTSTR, UINT nType)
{
    g_shownText = lpszText;
    g_nShownType = nType;
    return IDOK;
}
}

TEST(Exceptions, EscapedExceptionIsShownInAMessageBoxInTheProgram)
{
    // The program's report, without the test main's handler.
    AFX_UNCAUGHT_EXCEPTION_HANDLER pfnTestHandler = AfxSetUncaughtExceptionHandler(nullptr);
    AFX_MESSAGEBOX_HANDLER pfnPreviousBox = AfxSetMessageBoxHandler(RecordMessageBox);
    g_nLiveExceptions = 0;
    CCountedFileException* e = new CCountedFileException(CFileException::diskFull);
    e->m_strFileName = L"FileList.txt";
    AfxReportUncaughtException(e);
    AfxSetMessageBoxHandler(pfnPreviousBox);
    AfxSetUncaughtExceptionHandler(pfnTestHandler);

    EXPECT_STREQ(L"The disk is full while accessing the file 'FileList.txt'.", g_shownText);
    EXPECT_EQ(static_cast<UINT>(MB_ICONSTOP), g_nShownType & MB_ICONMASK);
    EXPECT_EQ(0, g_nLiveExceptions);
}
