// The wizard: a property sheet in wizard mode holding the four steps of a batch.
#pragma once

#include <afxdlgs.h>

#include "compressoptionpage.h"
#include "outputoptionpage.h"
#include "resizeoptionpage.h"
#include "selectfilepage.h"

class CQuilbrookWizard : public CPropertySheet
{
    DECLARE_DYNAMIC(CQuilbrookWizard)

public:
    CQuilbrookWizard(LPCTSTR caption, CWnd* parent = NULL, UINT selectPage = 0);
    CQuilbrookWizard(UINT captionId, CWnd* parent = NULL, UINT selectPage = 0);

    void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT) override;
    BOOL OnInitDialog() override;

    // The help page of a step (0 to 3): a file of the program's own documentation.
    static CString GetHelpAddress(int step);

    CSelectFilePage m_selectFilePage;
    CCompressOptionPage m_compressOptionPage;
    CResizeOptionPage m_resizeOptionPage;
    COutputOptionPage m_outputOptionPage;

protected:
    void AddPages();

    DECLARE_MESSAGE_MAP()
};
