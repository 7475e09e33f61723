// The modeless progress dialog of a batch: a status line, a percentage, a bar and Cancel.
// It disables its owner while its window exists and never blocks: every call first handles
// the messages that are waiting, so that Cancel can be pressed between the batch's steps.
#pragma once

#include <afxcmn.h>

#include "resource.h"

class CProgressDlg : public CDialog
{
public:
    enum { IDD = IDD_PROGRESS };

    explicit CProgressDlg(UINT captionId = 0);
    ~CProgressDlg() override;

    BOOL Create(CWnd* parent = NULL);
    BOOL DestroyWindow() override;

    void SetStatus(LPCTSTR text);
    void SetRange(int lower, int upper);
    int SetStep(int step);
    int SetPos(int position);
    int OffsetPos(int delta);
    int StepIt();
    // Takes the cancel flag: TRUE once after each Cancel.
    BOOL CheckCancelButton();

    CProgressCtrl m_progress;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void ReEnableOwner();
    void PumpMessages();
    void UpdatePercent(int position);

    DECLARE_MESSAGE_MAP()

private:
    UINT m_captionId;
    int m_lower;
    int m_upper;
    int m_step;
    BOOL m_cancelled;
    BOOL m_ownerDisabled;
};
