// The command line's subcommands, the older flag forms that stay as their aliases, the batch's
// last line, the map of borings and the writing of the code-table setting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>

#include "cli/boring_map.h"
#include "cli/cli.h"
#include "support/cli_run.h"
#include "support/json_value.h"
#include "support/run_fixture.h"
#include "support/test_util.h"

namespace zk::cli {
namespace {

namespace fs = std::filesystem;
using test::JsonReader;
using test::JsonValue;
using test::RunCli;
using test::RunMain;
using test::TempFolder;
using Ran = test::CliOutcome;

const fs::path kExchange = ZK_FIXTURES "/exchange/53393681.001";
// The host's separator, which set-codes writes after the folder.
const std::string kSeparator(1, static_cast<char>(fs::path::preferred_separator));

struct ParseCase {
  std::vector<std::string> args;
  std::optional<Command> command;  // nullopt: refused
  const char* says;                // part of the refusal, or of the help text
};

TEST(Subcommands, EachFormAndItsAlias) {
  const ParseCase cases[] = {
      {{"convert", "--yes", "--dest", "d", "s1", "s2"}, Command::Convert, ""},
      {{"--yes", "--dest", "d", "s1", "s2"}, Command::Convert, ""},
      {{"convert", "--dest=d", "--no", "s"}, Command::Convert, ""},
      {{"check", "--format", "json", "s"}, Command::Check, ""},
      {{"--check", "--format", "json", "s"}, Command::Check, ""},
      {{"--format=json", "--check", "s"}, Command::Check, ""},
      {{"check", "--dest", "d", "s"}, Command::Check, ""},
      {{"picture", "out", "a.001"}, Command::Picture, ""},
      {{"--picture", "out", "a.001"}, Command::Picture, ""},
      {{"a.001", "--picture=out"}, Command::Picture, ""},
      {{"map", "m.geojson", "a.001", "b.001"}, Command::Map, ""},
      {{"map", "M.JSON", "a.001"}, Command::Map, ""},
      {{"set-codes", "/opt/codes"}, Command::SetCodes, ""},
      {{"--version"}, Command::Version, "zk2morvex-cli "},
      {{"--help"}, Command::Help, "set-codes FOLDER"},
      {{"--dest", "d", "--help"}, Command::Help, "以前の書き方"},
      {{"convert", "--help"}, Command::Help, "--dest DEST_FOLDER"},
      {{"map", "-h"}, Command::Help, "OUT_GEOJSON"},
      {{"set-codes", "--help"}, Command::Help, "L9.txt と Kishitu.txt"},
      // Conflicts and repeats, in both forms.
      {{"convert", "--yes", "--no", "--dest", "d", "s"}, std::nullopt, "--yes と --no は同時に"},
      {{"--no", "--dest", "d", "--yes", "s"}, std::nullopt, "--yes と --no は同時に"},
      {{"convert", "--dest", "d1", "--dest", "d2", "s"}, std::nullopt, "--dest は 1 回だけ"},
      {{"--dest=d1", "--dest", "d2", "s"}, std::nullopt, "--dest は 1 回だけ"},
      {{"--check", "--dest", "d", "--dest", "e", "s"}, std::nullopt, "--dest は 1 回だけ"},
      {{"--check", "--picture", "out", "a.001"}, std::nullopt, "同時に指定できません"},
      {{"--check", "--yes", "s"}, std::nullopt, "--yes, --no は使えません"},
      {{"--format", "json", "--dest", "d", "s"}, std::nullopt, "--format は check"},
      {{"check", "--format", "xml", "s"}, std::nullopt, "json か text"},
      {{"picture", "out", "--dest", "d", "a.001"}, std::nullopt, "知らないオプション"},
      {{"check", "--yes", "s"}, std::nullopt, "知らないオプション"},
      {{"convert", "--frobnicate", "--dest", "d", "s"}, std::nullopt, "知らないオプション"},
      {{"set-codes", "a", "b"}, std::nullopt, "余分な引数"},
      // What each subcommand needs.
      {{"convert", "s"}, std::nullopt, "--dest で変換先フォルダ"},
      {{"convert", "--dest", "d"}, std::nullopt, "変換元フォルダを指定"},
      {{"check"}, std::nullopt, "変換元フォルダを指定"},
      {{"picture", "out"}, std::nullopt, "交換ファイルを指定"},
      {{"map", "m.geojson"}, std::nullopt, "交換ファイルを指定"},
      {{"map"}, std::nullopt, "OUT.geojson"},
      {{"map", "53393681.001", "53393681.002"}, std::nullopt, ".geojson か .json"},
      {{"set-codes"}, std::nullopt, "コード表のフォルダを指定"},
      {{}, std::nullopt, "--dest で変換先フォルダ"},
  };
  for (const auto& c : cases) {
    std::string name;
    for (const auto& a : c.args) name += a + " ";
    Options options;
    std::string error;
    bool ok = ParseArguments(c.args, options, error);
    EXPECT_EQ(ok, c.command.has_value()) << name << error;
    if (!ok) {
      EXPECT_NE(error.find(c.says), std::string::npos) << name << error;
      continue;
    }
    EXPECT_EQ(options.command, *c.command) << name;
    if (*c.says) {
      EXPECT_NE(options.helpText.find(c.says), std::string::npos) << name << options.helpText;
    }
  }
}

TEST(Subcommands, FieldsOfEachForm) {
  Options o;
  std::string error;
  ASSERT_TRUE(ParseArguments({"convert", "--no", "--dest", "d", "s1", "s2"}, o, error)) << error;
  EXPECT_EQ(o.answer, Answer::No);
  EXPECT_EQ(o.destination, "d");
  EXPECT_EQ(o.sources, (std::vector<std::string>{"s1", "s2"}));

  ASSERT_TRUE(ParseArguments({"--check", "--format", "json", "s"}, o, error)) << error;
  EXPECT_TRUE(o.check && o.json);
  EXPECT_EQ(o.sources, std::vector<std::string>{"s"});

  // The folder of the older picture form is the first name whatever its place.
  ASSERT_TRUE(ParseArguments({"a.001", "--picture", "-out", "b.001"}, o, error)) << error;
  EXPECT_TRUE(o.picture);
  EXPECT_EQ(o.pictureFolder, "-out");
  EXPECT_EQ(o.sources, (std::vector<std::string>{"a.001", "b.001"}));

  ASSERT_TRUE(ParseArguments({"map", "m.geojson", "a.001"}, o, error)) << error;
  EXPECT_EQ(o.mapFile, "m.geojson");
  EXPECT_EQ(o.sources, std::vector<std::string>{"a.001"});

  ASSERT_TRUE(ParseArguments({"set-codes", "/opt/codes/"}, o, error)) << error;
  EXPECT_EQ(o.codesFolder, "/opt/codes/");

  // After "--" a name that looks like an option is a name.
  ASSERT_TRUE(ParseArguments({"convert", "--dest", "d", "--", "--odd"}, o, error)) << error;
  EXPECT_EQ(o.sources, std::vector<std::string>{"--odd"});
}

TEST(Subcommands, VersionHelpAndUsageExitCodes) {
  Ran version = RunMain({"--version"});
  EXPECT_EQ(version.code, kSuccess);
  EXPECT_EQ(version.out.rfind("zk2morvex-cli ", 0), 0u) << version.out;
  Ran help = RunMain({"check", "--help"});
  EXPECT_EQ(help.code, kSuccess);
  EXPECT_NE(help.out.find("--format"), std::string::npos) << help.out;
  EXPECT_EQ(help.out.find("--yes"), std::string::npos) << "only the options of check";
  Ran bad = RunMain({"convert", "--dest", "a", "--dest", "b", "s"});
  EXPECT_EQ(bad.code, kUsage);
  EXPECT_NE(bad.err.find("使い方"), std::string::npos);
}

// The warning lines told, as a number text.
std::string Warnings(const std::string& err) {
  long n = 0;
  for (std::size_t at = err.find(": warning: "); at != std::string::npos; at = err.find(": warning: ", at + 1)) ++n;
  return std::to_string(n);
}

// A batch names the boring of every message and ends with what it came to.
TEST(Subcommands, BatchMessagesNameTheirBoringAndALastLineSumsUp) {
  test::RunFolders f;
  fs::create_directories(f.root.path() / "codes");
  fs::create_directories(f.root.path() / "sys");
  f.root.WriteBytes("sys/RaroreD5.ini", "[settings]\r\n" + (f.root.path() / "codes").string() + "/\r\n");
  f.Table("titl01.txt", test::SampleTitl01());
  f.Table("X1.TXT", "1,1.0,101,a\r\n2,0.5,102,b\r\n");  // warnings: a depth going up
  fs::create_directories(f.root.path() / "EMPTY");
  std::string empty = (f.root.path() / "EMPTY").string();
  std::string missing = (f.root.path() / "NONE").string();
  for (const char* form : {"convert", ""}) {
    fs::remove_all(f.destination());
    fs::create_directories(f.destination());
    fs::remove(f.source() / "BORLING.NO");
    std::vector<std::string> args = {"--yes", "--dest", f.destination().string(), empty, f.source().string(), missing};
    if (*form) args.insert(args.begin(), "convert");
    Ran r = RunCli(args, f.root.path() / "sys");
    EXPECT_EQ(r.code, kStopped) << form;
    EXPECT_EQ(r.out, (f.destination() / "53393681.001").string() + "\n") << form;
    EXPECT_NE(r.err.find("[" + empty + "] 緯度・経度が正しくありません。"), std::string::npos) << form << r.err;
    EXPECT_NE(r.err.find("[" + missing + "] "), std::string::npos) << form << r.err;
    std::string last = r.err.substr(r.err.rfind('\n', r.err.size() - 2) + 1);
    EXPECT_EQ(last, "合計: 変換 1 本, 停止 2 本 (" + empty + ", " + missing + "), 警告 " + Warnings(r.err) + " 件\n")
        << form << r.err;
  }
  fs::remove(f.source() / "BORLING.NO");
  fs::remove_all(f.destination());
  Ran ok = RunCli({"convert", "--yes", "--dest", f.destination().string(), f.source().string()}, f.root.path() / "sys");
  EXPECT_EQ(ok.code, kSuccess) << ok.err;
  EXPECT_NE(Warnings(ok.err), "0");
  EXPECT_NE(ok.err.find("合計: 変換 1 本, 停止 0 本, 警告 " + Warnings(ok.err) + " 件\n"), std::string::npos) << ok.err;
}

// ---------------------------------------------------------------- map

TEST(BoringMap, DegreesOfThePositionFields) {
  struct Case {
    const char* field;
    std::size_t degreeDigits;
    std::optional<double> degrees;
  };
  const Case cases[] = {
      {"3539291", 2, 35 + 39 / 60.0 + 29.1 / 3600},
      {"13945455", 3, 139 + 45 / 60.0 + 45.5 / 3600},
      {"0000000", 2, 0.0},
      {"4559599", 2, 45 + 59 / 60.0 + 59.9 / 3600},
      {"3560000", 2, std::nullopt},   // 60 minutes
      {"3539600", 2, std::nullopt},   // 60 seconds
      {"353929", 2, std::nullopt},    // a digit short
      {"13945455", 2, std::nullopt},  // a longitude where a latitude belongs
      {"35392 1", 2, std::nullopt},
      {"", 2, std::nullopt},
  };
  for (const auto& c : cases) {
    double degrees = -1;
    EXPECT_EQ(DegreesOf(c.field, c.degreeDigits, degrees), c.degrees.has_value()) << c.field;
    if (c.degrees) {
      EXPECT_NEAR(degrees, *c.degrees, 1e-12) << c.field;
    }
  }
}

// The sample boring's exchange file, read back by a strict JSON reader.
TEST(BoringMap, SampleIsAValidFeatureCollection) {
  TempFolder work;
  fs::path map = work.path() / "borings.geojson";
  Ran r = RunMain({"map", map.string(), kExchange.string()});
  ASSERT_EQ(r.code, kSuccess) << r.err;
  EXPECT_EQ(r.out, map.string() + "\n");
  JsonValue doc;
  std::string error;
  ASSERT_TRUE(JsonReader::Parse(test::ReadBytes(map), doc, error)) << error << "\n" << test::ReadBytes(map);
  EXPECT_EQ(doc["type"].text, "FeatureCollection");
  ASSERT_EQ(doc["features"].items.size(), 1u);
  const JsonValue& feature = doc["features"][0];
  EXPECT_EQ(feature["type"].text, "Feature");
  EXPECT_EQ(feature["geometry"]["type"].text, "Point");
  const JsonValue& xy = feature["geometry"]["coordinates"];
  ASSERT_EQ(xy.items.size(), 2u);
  EXPECT_NEAR(xy[0].number, 139.7626389, 1e-7);  // longitude first
  EXPECT_NEAR(xy[1].number, 35.6580833, 1e-7);
  EXPECT_EQ(feature["properties"]["meshCode"].text, "53393681");
  EXPECT_EQ(feature["properties"]["boringName"].text, "No.1");
  EXPECT_EQ(feature["properties"]["depth"].number, 10.69);
  EXPECT_EQ(feature["properties"]["title"].text, "東京駅前地質調査業務");
  EXPECT_EQ(feature["properties"]["file"].text, "53393681.001");
}

TEST(BoringMap, NamesNeedingEscapesStayValidJson) {
  BoringPoint p;
  p.boringName = "No.\"1\"\\\t\x01";
  p.meshCode = "53393681";
  JsonValue doc;
  std::string error;
  ASSERT_TRUE(JsonReader::Parse(BoringMapGeoJson({p, p}), doc, error)) << error;
  EXPECT_EQ(doc["features"][1]["properties"]["boringName"].text, p.boringName);
  ASSERT_TRUE(JsonReader::Parse(BoringMapGeoJson({}), doc, error)) << error;
  EXPECT_TRUE(doc["features"].items.empty());
}

TEST(BoringMap, UnreadableFilesAreToldAndLeftOut) {
  TempFolder work;
  std::string sample = test::ReadBytes(kExchange);
  // A second boring whose position field was cut, and a file that is no exchange file.
  std::string cut = sample;
  cut.replace(cut.find("\"3539291\""), 9, "\"35392\"");
  fs::path bad = work.WriteBytes("53393681.002", cut);
  fs::path junk = work.WriteBytes("junk.001", "not a record\r\n");
  fs::path map = work.path() / "m.geojson";
  Ran r = RunMain({"map", map.string(), kExchange.string(), bad.string(), junk.string()});
  EXPECT_EQ(r.code, kStopped);
  EXPECT_NE(r.err.find("53393681.002」 4 行目: 緯度「35392」"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("junk.001"), std::string::npos) << r.err;
  JsonValue doc;
  std::string error;
  ASSERT_TRUE(JsonReader::Parse(test::ReadBytes(map), doc, error)) << error;
  EXPECT_EQ(doc["features"].items.size(), 1u);

  // Nothing readable: no map at all, and an old one stays as it was.
  work.WriteBytes("old.geojson", "old");
  Ran none = RunMain({"map", (work.path() / "old.geojson").string(), junk.string()});
  EXPECT_EQ(none.code, kStopped);
  EXPECT_EQ(test::ReadBytes(work.path() / "old.geojson"), "old");
}

TEST(BoringMap, NeverWritesOverAnExchangeFileOrIntoAFolder) {
  TempFolder work;
  fs::path copy = work.WriteBytes("53393681.json", test::ReadBytes(kExchange));
  Ran same = RunMain({"map", copy.string(), copy.string()});
  EXPECT_EQ(same.code, kStopped);
  EXPECT_EQ(test::ReadBytes(copy), test::ReadBytes(kExchange));
  fs::create_directories(work.path() / "dir.geojson");
  Ran folder = RunMain({"map", (work.path() / "dir.geojson").string(), kExchange.string()});
  EXPECT_EQ(folder.code, kStopped);
  EXPECT_NE(folder.err.find("フォルダです"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()), 2)
      << "no temporary file left";
}

// ---------------------------------------------------------------- set-codes

TEST(SetCodes, WritesTheSettingThatAConversionThenUses) {
  test::RunFolders f;
  fs::create_directories(f.root.path() / "sys");
  f.Table("titl01.txt", test::SampleTitl01());
  f.root.WriteBytes("Codes/l9.TXT", "1,a\r\n");
  f.root.WriteBytes("Codes/KISHITU.txt", "1,a\r\n");
  fs::path sys = f.root.path() / "sys";
  Ran set = RunCli({"set-codes", (f.root.path() / "Codes").string()}, sys);
  EXPECT_EQ(set.code, kSuccess) << set.err;
  EXPECT_EQ(set.out, (sys / "RaroreD5.ini").string() + "\n");
  EXPECT_NE(set.err.find("ZK_SYSDIR"), std::string::npos) << set.err;
  EXPECT_EQ(test::ReadBytes(sys / "RaroreD5.ini"),
            "[VUREDA]\r\n" + (f.root.path() / "Codes").string() + kSeparator + "\r\n");
  Ran run = RunCli({"convert", "--dest", f.destination().string(), f.source().string()}, sys);
  EXPECT_EQ(run.code, kSuccess) << run.err;

  fs::remove(f.root.path() / "Codes/KISHITU.txt");
  Ran refused = RunCli({"set-codes", (f.root.path() / "Codes").string()}, sys);
  EXPECT_EQ(refused.code, kStopped);
  EXPECT_NE(refused.err.find("Kishitu.txt がありません"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find((sys / "RaroreD5.ini").string()), std::string::npos) << refused.err;
  EXPECT_EQ(test::ReadBytes(sys / "RaroreD5.ini"),
            "[VUREDA]\r\n" + (f.root.path() / "Codes").string() + kSeparator + "\r\n")
      << "the setting that was there stays";
}

}  // namespace
}  // namespace zk::cli
