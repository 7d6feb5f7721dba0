#include "speech/speech_helper.h"

#include <gtest/gtest.h>

#include "speech/recording_reader.h"

namespace redadado {
namespace {

using Calls = std::vector<std::string>;

std::string Encode(std::initializer_list<HelperCommand> commands) {
  std::string bytes;
  for (const HelperCommand& command : commands) bytes += EncodeHelperCommand(command);
  return bytes;
}

// The pipe hands the helper its bytes in pieces of any size: whole commands, single bytes, a
// command split inside its length. Every one comes out whole and in order.
TEST(SpeechHelper, CommandsArriveWholeAndInOrderHoweverThePipeCutsThem) {
  const std::string stream = Encode({{HelperOp::kPcTalkerReset, ""},
                                     {HelperOp::kPcTalkerSpeak, "文章ファイルを呼び出してください"},
                                     {HelperOp::kXpReaderSpeak, "部数の変更　2"},
                                     {HelperOp::kXpReaderSpeak, ""},
                                     {HelperOp::kPcTalkerSpeak, std::string(3000, 'x')},
                                     {HelperOp::kXpReaderRelease, ""},
                                     {HelperOp::kXpReaderSpeak, "after the release"},
                                     {HelperOp::kPcTalkerSpeak, "C:\\文書\\竹取.bse"}});
  const Calls expected = {"pc reset",
                          "pc 文章ファイルを呼び出してください",
                          "xp 部数の変更　2",
                          "xp ",
                          "pc " + std::string(3000, 'x'),
                          "xp close",
                          "pc C:\\文書\\竹取.bse"};
  for (std::size_t piece : {stream.size(), std::size_t{1}, std::size_t{3}, std::size_t{4096}}) {
    test::RecordingRoutes routes;
    {
      HelperSession session(routes.Open("pc"), routes.Open("xp"));
      for (std::size_t at = 0; at < stream.size(); at += piece) {
        ASSERT_TRUE(session.Feed(std::string_view(stream).substr(at, piece)));
      }
      Calls calls = routes.Take();
      calls.erase(calls.begin(), calls.begin() + 2);  // the two opens
      EXPECT_EQ(calls, expected) << "pieces of " << piece;
    }
    EXPECT_EQ(routes.Take(), Calls{"pc close"});
  }
}

// A stream that is not the application's stops the helper rather than speaking rubbish.
TEST(SpeechHelper, AStreamThatIsNotOursStopsTheHelper) {
  std::string oversized = EncodeHelperCommand({HelperOp::kPcTalkerSpeak, ""});
  oversized[3] = 0x10;  // a length of one megabyte
  for (const std::string& bad : {std::string("hello"), oversized}) {
    test::RecordingRoutes routes;
    HelperSession session(routes.Open("pc"), routes.Open("xp"));
    routes.Take();
    EXPECT_FALSE(session.Feed(Encode({{HelperOp::kPcTalkerSpeak, "a"}}) + bad));
    EXPECT_FALSE(session.Feed(Encode({{HelperOp::kPcTalkerSpeak, "b"}})));
    EXPECT_EQ(routes.Take(), Calls{"pc a"});
  }
}

TEST(SpeechHelper, MissingLibrariesSayNothing) {
  HelperSession session(nullptr, nullptr);
  EXPECT_TRUE(session.Feed(Encode({{HelperOp::kPcTalkerReset, ""},
                                   {HelperOp::kPcTalkerSpeak, "a"},
                                   {HelperOp::kXpReaderSpeak, "b"},
                                   {HelperOp::kXpReaderRelease, ""}})));
}

}  // namespace
}  // namespace redadado
