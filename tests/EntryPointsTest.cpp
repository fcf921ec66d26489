#include "PluginFixture.h"

namespace {

TEST(EntryPoints, DestroyIgnoresNull) { Plugin::Get().Destroy(nullptr); }

TEST(EntryPoints, ObjectsAreIndependent) {
  hostenv::LogCapture log;
  IVomaxel* first = Plugin::Get().Create();
  IVomaxel* second = Plugin::Get().Create();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first, second);
  Plugin::Get().Destroy(first);

  ACR_MATCH_INFO record{};
  EXPECT_TRUE(second->ParserACRInfoJson("{\"programId\":\"P1\"}", record));
  EXPECT_EQ(record.szProgramId, "P1");
  Plugin::Get().Destroy(second);
  EXPECT_TRUE(log.Lines().empty());
}

}  // namespace
