// The editor session without a window: whether the content is edited against
// its origin, and which history entries its commands keep.
#include <gtest/gtest.h>

#include <filesystem>

#include "history/HistoryStore.h"
#include "session/Connection.h"
#include "session/EditorSession.h"

namespace {

struct Kept {
    std::string event;
    std::string source;
    bool operator==(const Kept&) const = default;
};

class EditorSessionTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = std::filesystem::path(testing::TempDir()) / "editor-session-history";
        std::filesystem::remove_all(root);
        session.UseHistoryRoot(root);
        session.Model().Show(MakeDefaultConfiguration(DefaultsFamily::Gen108));
    }
    std::vector<Kept> KeptNewestFirst()
    {
        session.History().Flush();
        std::vector<Kept> kept;
        for (const HistoryEntry& entry : session.History().List(""))
            kept.push_back({entry.record.event, entry.record.source});
        return kept;
    }
    void Edit(int shiftLightRpm) { session.Model().SetValue(EditorControl::ShiftLightRpm, shiftLightRpm); }

    Connection connection;
    EditorSession session{connection};
    std::filesystem::path root;
};

TEST_F(EditorSessionTest, EditedAgainstTheOriginAndBackWhenTheValueReturns)
{
    const int original = session.Model().Value(EditorControl::ShiftLightRpm);
    Edit(original + 100);
    EXPECT_FALSE(session.Edited()) << "nothing is edited before the first content came in";
    session.Start({SourceKind::Defaults, "1.08"});
    EXPECT_FALSE(session.Edited());
    Edit(original);
    EXPECT_TRUE(session.Edited());
    Edit(original + 100);
    EXPECT_FALSE(session.Edited()) << "back at the origin's value";
    Edit(original + 200);
    session.SetSource({SourceKind::File, "race.vtn"});
    EXPECT_FALSE(session.Edited()) << "saved: the file is the new origin";
    EXPECT_EQ(session.Origin().source.label, "race.vtn");
}

TEST_F(EditorSessionTest, EditsAreKeptBeforeTheyAreReplacedAndAtQuitOnly)
{
    const DeviceConfiguration read = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    session.Start({SourceKind::Defaults, "1.08"});
    session.Replace(read);  // unedited: nothing to keep
    session.KeepEditedAtQuit();
    EXPECT_TRUE(KeptNewestFirst().empty());

    Edit(9000);
    session.Replace(read);
    EXPECT_EQ(session.Origin().source.label, "1.08") << "the caller names the new origin";
    session.KeptFromUnit(read, "read");
    session.KeptFromFile(read, "/home/rider/maps/race.vtn");
    session.KeptToFile(read, "/tmp/copy.vtn");
    session.KeptToUnit(read);
    Edit(9100);
    session.KeepEditedAtQuit();
    session.SetHistoryKept(false);
    session.KeptFromUnit(read, "connect");
    const std::vector<Kept> expected = {{"quit", "Edited Defaults of 1.08"},
                                        {"write", "Unit "},
                                        {"save", "copy.vtn"},
                                        {"open", "race.vtn"},
                                        {"read", "Unit "},
                                        {"unsaved", "Edited Defaults of 1.08"}};
    EXPECT_EQ(KeptNewestFirst(), expected);
}

}  // namespace
