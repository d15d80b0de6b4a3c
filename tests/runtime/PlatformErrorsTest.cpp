// Platform errors, error trapping and assertion reporting. The container tests check the code,
// file and line of every raised error.
#include "KRNError.h"
#include "KRNException.h"
#include "KRNXHContext.h"
#include "ZRMTestSupport.h"
#include "ZRMUtAssertFailure.h"
#include "ZRMUtError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

using zrmtest::CatchRaised;

TEST(PlatformErrors, KindsFollowTheClassHierarchyCodesHaveDistinctMessagesThrowRaisesTheObjectItself) {
  struct Case {
    KRNException* object;
    const char* className;
    bool isError;
    bool isUtError;
  };
  for (const Case& c :
       {Case{new KRNException(), "KRNException", false, false}, Case{new KRNError(), "KRNError", true, false},
        Case{new ZRMUtError(ZRMUtError::IndexOutOfRange), "ZRMUtError", true, true}}) {
    KRNExceptionOwner owner(c.object);
    EXPECT_STREQ(c.object->GetClassName(), c.className);
    EXPECT_TRUE(c.object->IsAKindOf(KRNException::ClassName()));
    EXPECT_EQ(c.object->IsAKindOf(KRNError::ClassName()), c.isError) << c.className;
    EXPECT_EQ(c.object->IsAKindOf(ZRMUtError::ClassName()), c.isUtError) << c.className;
    EXPECT_FALSE(c.object->IsAKindOf("SomethingElse") || c.object->IsAKindOf(nullptr));
    ASSERT_NE(c.object->GetMessageText(), nullptr);
    EXPECT_GT(std::strlen(c.object->GetMessageText()), 0u);
  }
  EXPECT_STRNE(ZRMUtError(ZRMUtError::IndexOutOfRange).GetMessageText(),
               ZRMUtError(ZRMUtError::InvalidIterator).GetMessageText());
  EXPECT_EQ(static_cast<unsigned int>(ZRMUtError::IndexOutOfRange), 0x80000000u);
  EXPECT_EQ(static_cast<unsigned int>(ZRMUtError::InvalidIterator), 0x80000001u);

  KRNError* error = new KRNError();
  int data = 0;
  try {
    error->Throw("f", 3, &data);
    FAIL() << "Throw returned";
  } catch (KRNException* raised) {
    KRNExceptionOwner owner(raised);
    EXPECT_EQ(raised, error);
    EXPECT_EQ(raised->GetData(), &data);
    EXPECT_STREQ(raised->GetFile(), "f");
    EXPECT_EQ(raised->GetLine(), 3);
  }
}

TEST(XHContext, TrapsPlatformObjectsOnlyHandsThemOverOnceAndDisposesOfLeftOvers) {
  KRNXHContext context;
  int calls = 0;
  EXPECT_TRUE(context.Run([&] { ++calls; }));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(context.Trapped(), nullptr);
  EXPECT_THROW(context.Run([] { throw std::runtime_error("not ours"); }), std::runtime_error);
  EXPECT_EQ(context.Trapped(), nullptr);

  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::InvalidIterator, "x", 1); }));
  KRNException* trapped = context.Trapped();
  ASSERT_NE(trapped, nullptr);
  EXPECT_TRUE(trapped->IsAKindOf(KRNError::ClassName()));
  EXPECT_EQ(context.Trapped(), nullptr);  // handed over once
  KRNError::Flush(static_cast<KRNError*>(trapped));

  // Two traps in a row without hand-over: the first is disposed of (the sanitizer run proves
  // nothing leaks), and a third is left to the context's destructor.
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "a", 1); }));
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "b", 2); }));
  KRNException* last = context.Trapped();
  ASSERT_NE(last, nullptr);
  EXPECT_STREQ(last->GetFile(), "b");
  KRNException::Dispose(last);
  EXPECT_FALSE(context.Run([] { ZRMUtRaise(ZRMUtError::IndexOutOfRange, "c", 3); }));

  // The caller's protocol: a trapped object that is no KRNError goes on through its own Throw.
  EXPECT_FALSE(context.Run([] { (new KRNException())->Throw("inner", 9, nullptr); }));
  trapped = context.Trapped();
  ASSERT_FALSE(trapped->IsAKindOf(KRNError::ClassName()));
  const zrmtest::Raised again = CatchRaised([&] { trapped->Throw(nullptr, 0, nullptr); });
  EXPECT_TRUE(again.raised && !again.isZRMUtError);
  EXPECT_EQ(again.file + ":" + std::to_string(again.line), ":0");
}

TEST(AssertFailure, ReportsReachTheSinkAndReturnStageAndSinkAreRestored) {
  const int stageBefore = ZRMGetKRNDevelopmentStage();
  {
    zrmtest::AssertRecorder recorder(3);
    EXPECT_EQ(ZRMGetKRNDevelopmentStage(), 3);
    EXPECT_EQ(ZRMSetKRNDevelopmentStage(5), 3);
    EXPECT_EQ(ZRMGetKRNDevelopmentStage(), 5);
    ZRMUtAssertFailure(false, KRNUnicodeString("x > 0"), KRNUnicodeString("x must be positive"), "src/File", 17);
    KRNRuntimeAssert(L"(\"m\", e)", "src/File", 18);
    ASSERT_EQ(recorder.reports.size(), 2u);
    const zrmtest::AssertReport& failure = recorder.reports[0];
    EXPECT_TRUE(failure.kind == zrmtest::AssertReport::Failure && !failure.condition);
    EXPECT_EQ(failure.expression + "|" + failure.message + "|" + failure.file, "x > 0|x must be positive|src/File");
    EXPECT_EQ(failure.line, 17);
    const zrmtest::AssertReport& runtime = recorder.reports[1];
    EXPECT_EQ(runtime.kind, zrmtest::AssertReport::Runtime);
    EXPECT_EQ(runtime.text, L"(\"m\", e)");
    EXPECT_EQ(runtime.line, 18);

    EXPECT_EQ(ZRMUtSetAssertSink(nullptr), &recorder);  // null restores the default sink
    ZRMUtAssertSink* fallback = ZRMUtSetAssertSink(&recorder);
    EXPECT_TRUE(fallback != nullptr && fallback != &recorder);
  }
  EXPECT_EQ(ZRMGetKRNDevelopmentStage(), stageBefore);
  const KRNUnicodeString text("a, \"b\"");  // narrow literals widen one to one
  EXPECT_EQ(text.ConvertToWChar(), L"a, \"b\"");
  EXPECT_EQ(text.ConvertToChar(), "a, \"b\"");
  EXPECT_EQ(KRNUnicodeString(static_cast<const char*>(nullptr)).ConvertToChar(), "");
}

}  // namespace
