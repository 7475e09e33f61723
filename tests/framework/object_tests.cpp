// Run-time class records: kinds along the record chain, creation by record and by
// name, and records whose base is not the C++ base.
#include <afx.h>
#include <gtest/gtest.h>

namespace
{
class CTestWindow : public CObject
{
    DECLARE_DYNAMIC(CTestWindow)
};
IMPLEMENT_DYNAMIC(CTestWindow, CObject)

class CTestDialog : public CTestWindow
{
    DECLARE_DYNCREATE(CTestDialog)
};
IMPLEMENT_DYNCREATE(CTestDialog, CTestWindow)

class CTestPage : public CTestDialog
{
    DECLARE_DYNAMIC(CTestPage)
};
IMPLEMENT_DYNAMIC(CTestPage, CTestDialog)

// A C++ base without a record, as the skin objects have.
class CPlainSkinObject : public CTestWindow
{
public:
    int m_nMarker = 42;
};

// Its record names CTestWindow as its base.
class CTestSkinFrame : public CPlainSkinObject
{
    DECLARE_DYNCREATE(CTestSkinFrame)
};
IMPLEMENT_DYNCREATE(CTestSkinFrame, CTestWindow)

// Its record names the frame although its C++ base is another class.
class CTestSkinListBox : public CPlainSkinObject
{
    DECLARE_DYNCREATE(CTestSkinListBox)
};
IMPLEMENT_DYNCREATE(CTestSkinListBox, CTestSkinFrame)

}

// Serial classes are registered by name for the whole program, and so is their reading
// operator: they live outside the unnamed namespace.
class CTestSerial : public CObject
{
    DECLARE_SERIAL(CTestSerial)
};
IMPLEMENT_SERIAL(CTestSerial, CObject, 3)

class CTestserial : public CObject
{
    DECLARE_SERIAL(CTestserial)
};
IMPLEMENT_SERIAL(CTestserial, CObject, 1)

TEST(RuntimeClass, IsKindOfWalksTheRecordChain)
{
    CTestPage page;
    const struct
    {
        CRuntimeClass* pClass;
        bool bExpected;
    } cases[] = {
        {RUNTIME_CLASS(CObject), true},          {RUNTIME_CLASS(CTestWindow), true},
        {RUNTIME_CLASS(CTestDialog), true},      {RUNTIME_CLASS(CTestPage), true},
        {RUNTIME_CLASS(CTestSkinFrame), false},  {RUNTIME_CLASS(CException), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bExpected, page.IsKindOf(c.pClass) != FALSE) << c.pClass->m_lpszClassName;
    EXPECT_STREQ("CTestPage", page.GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(static_cast<int>(sizeof(CTestPage)), RUNTIME_CLASS(CTestPage)->m_nObjectSize);
    EXPECT_EQ(0xFFFFu, RUNTIME_CLASS(CTestPage)->m_wSchema);
    EXPECT_FALSE(page.IsSerializable());
}

TEST(RuntimeClass, CreateObjectNeedsACreationFunction)
{
    CObject* pDialog = RUNTIME_CLASS(CTestDialog)->CreateObject();
    ASSERT_NE(nullptr, pDialog);
    EXPECT_EQ(RUNTIME_CLASS(CTestDialog), pDialog->GetRuntimeClass());
    delete pDialog;

    EXPECT_EQ(nullptr, RUNTIME_CLASS(CTestPage)->CreateObject());
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CTestWindow)->CreateObject());
}

TEST(RuntimeClass, RecordBaseMayDifferFromTheCppBase)
{
    CObject* pObject = RUNTIME_CLASS(CTestSkinListBox)->CreateObject();
    ASSERT_NE(nullptr, pObject);
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CTestSkinFrame)));
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CTestWindow)));
    EXPECT_TRUE(RUNTIME_CLASS(CTestSkinListBox)->IsDerivedFrom(RUNTIME_CLASS(CTestSkinFrame)));
    EXPECT_FALSE(RUNTIME_CLASS(CTestSkinFrame)->IsDerivedFrom(RUNTIME_CLASS(CTestSkinListBox)));
    // The object is the C++ class all the same.
    EXPECT_EQ(42, static_cast<CTestSkinListBox*>(pObject)->m_nMarker);
    delete pObject;
}

TEST(RuntimeClass, SerialClassesAreFoundByExactName)
{
    EXPECT_EQ(RUNTIME_CLASS(CTestSerial), CRuntimeClass::FromName("CTestSerial"));
    EXPECT_EQ(RUNTIME_CLASS(CTestserial), CRuntimeClass::FromName("CTestserial"));
    EXPECT_EQ(RUNTIME_CLASS(CTestSerial), CRuntimeClass::FromName(L"CTestSerial"));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("CTESTSERIAL"));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("CTestSerial "));
    // Only serializable classes are registered.
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("CTestDialog"));

    CObject* pObject = CRuntimeClass::CreateObject("CTestSerial");
    ASSERT_NE(nullptr, pObject);
    EXPECT_TRUE(pObject->IsSerializable());
    EXPECT_EQ(3u, pObject->GetRuntimeClass()->m_wSchema);
    delete pObject;
}
