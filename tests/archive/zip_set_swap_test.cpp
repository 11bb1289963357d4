#include "archive/archive_output.h"
#include "archive/set_swap.h"
#include "archive/writer_leftovers.h"
#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace archive_test;

namespace {

using StepHook = std::function<void()>;

// Runs action in a child process that is killed with SIGKILL at step killAt
// of the hook it is given (0 = before the first change on disk). True when
// the child was killed there, false when it finished before that step.
bool RunKilledAtStep(const std::function<void(const StepHook&)>& action, int killAt) {
    const pid_t child = ::fork();
    if (child == 0) {
        int step = 0;
        try {
            action([&step, killAt] {
                if (step++ == killAt)
                    ::raise(SIGKILL);
            });
        } catch (...) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return true;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the swap failed in the child";
    return false;
}

bool HasTemporaryNames(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (name.find(".~") != std::string::npos)
            return true;
    return false;
}

// A split archive of count random files named prefix0.bin, prefix1.bin, ...
void WriteSplitArchive(const TempFolder& dir, const std::string& prefix, int count, const std::string& archive) {
    const std::string source = dir / ("src_" + prefix + "/");
    for (int i = 0; i < count; ++i)
        WriteFile(source + prefix + std::to_string(i) + ".bin", RandomBytes(60'000, static_cast<unsigned>(i + count)));
    TZipWriter writer;
    ConfigureAsEngines(writer, archive, source, 1);
    writer.SetInMemory(false);
    writer.SetSpanningMode(TZWSpanningMode::smSplitting);
    writer.SpanningOptions().AdvancedNaming = false;
    writer.SpanningOptions().VolumeSize = TZWVolumeSize::vsCustom;
    writer.SpanningOptions().CustomVolumeSize = 65'536;
    writer.SpanningOptions().FirstVolumeSize = 65'536;
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);
}

// Which set opens under archive: "old", "new", "none" (no file of that
// name), or what 7-Zip said about a damaged one.
std::string SetOpeningAs(const std::string& sevenZip, const std::string& archive) {
    if (!fs::exists(archive))
        return "none";
    const CommandResult test = RunCommand(sevenZip + " t " + Quote(archive));
    if (test.exitCode != 0)
        return "damaged: " + test.output;
    const CommandResult list = RunCommand(sevenZip + " l " + Quote(archive));
    const bool old = list.output.find("old0.bin") != std::string::npos;
    const bool fresh = list.output.find("new0.bin") != std::string::npos;
    return old == fresh ? "mixed: " + list.output : old ? "old" : "new";
}

std::vector<std::string> SegmentsOf(const std::string& folder, const std::string& base) {
    std::vector<std::string> names;
    for (const std::string& name : FileNamesIn(folder))
        if (name.rfind(base + ".", 0) == 0)
            names.push_back(folder + "/" + name);
    // base.z01, base.z02, ..., base.zip: the archive's own file sorts last.
    return names;
}

} // namespace

// A kill at every step of replacing a split archive: a reader finds either no
// archive or a whole one, and the next run's cleanup leaves the complete old
// set or the complete new set under the archive's names, with nothing else.
TEST(ZipSetSwap, KillAtEveryStepLeavesTheOldOrTheNewSetWhole) {
    const std::string sevenZip = SevenZipTool();
    if (sevenZip.empty())
        GTEST_SKIP() << "neither 7z nor 7zz is installed (Debian package 7zip)";
    // (files in the old set, files in the new set): the new set has fewer
    // segments, then more.
    for (const auto& [oldCount, newCount] : std::vector<std::pair<int, int>>{{4, 2}, {2, 4}}) {
        SCOPED_TRACE(std::to_string(oldCount) + " -> " + std::to_string(newCount));
        TempFolder pristine;
        fs::create_directories(pristine / "out");
        WriteSplitArchive(pristine, "old", oldCount, pristine / "out/name.zip");
        WriteSplitArchive(pristine, "new", newCount, pristine / "out/tmpnew.zip");
        const std::vector<std::string> oldSet = SegmentsOf(pristine / "out", "name");
        const std::vector<std::string> newSet = SegmentsOf(pristine / "out", "tmpnew");
        ASSERT_EQ(oldSet.size(), static_cast<std::size_t>(oldCount));
        ASSERT_EQ(newSet.size(), static_cast<std::size_t>(newCount));

        bool sawOld = false, sawNew = false;
        for (int killAt = 0;; ++killAt) {
            SCOPED_TRACE("killed at step " + std::to_string(killAt));
            TempFolder dir;
            fs::copy(pristine / "out", dir / "out");
            const std::string out = dir / "out";
            std::vector<std::string> newFiles, finalNames, oldFiles;
            for (const std::string& path : newSet) {
                const std::string name = fs::path(path).filename().string();
                newFiles.push_back(out + "/" + name);
                finalNames.push_back(out + "/name" + name.substr(std::string("tmpnew").size()));
            }
            for (const std::string& path : oldSet)
                oldFiles.push_back(out + "/" + fs::path(path).filename().string());
            const bool killed = RunKilledAtStep(
                [&](const StepHook& hook) {
                    std::string error;
                    if (!archive::ReplaceFileSet(newFiles, finalNames, oldFiles, error, hook))
                        throw std::runtime_error(error);
                },
                killAt);
            const std::string archive = out + "/name.zip";
            const std::string atKill = SetOpeningAs(sevenZip, archive);
            if (!killed) {
                EXPECT_EQ(atKill, "new");
                EXPECT_FALSE(HasTemporaryNames(FileNamesIn(out)));
                EXPECT_EQ(FileNamesIn(out).size(), static_cast<std::size_t>(newCount));
                break;
            }
            EXPECT_TRUE(atKill == "none" || atKill == "old" || atKill == "new") << atKill;

            std::string error;
            ASSERT_TRUE(archive::RemoveWriterLeftovers(out, error)) << error;
            const std::string recovered = SetOpeningAs(sevenZip, archive);
            ASSERT_TRUE(recovered == "old" || recovered == "new") << recovered;
            if (atKill != "none") {
                EXPECT_EQ(recovered, atKill);
            }
            const std::vector<std::string> names = FileNamesIn(out);
            EXPECT_FALSE(HasTemporaryNames(names));
            if (recovered == "old") {
                EXPECT_FALSE(sawNew) << "an earlier kill already gave the new set";
                sawOld = true;
                // Undone: the new set is back under its own names and still opens.
                EXPECT_EQ(names.size(), static_cast<std::size_t>(oldCount + newCount));
                EXPECT_EQ(SetOpeningAs(sevenZip, out + "/tmpnew.zip"), "new");
            } else {
                sawNew = true;
                // Finished: no segment of the old set is left over.
                EXPECT_EQ(names.size(), static_cast<std::size_t>(newCount));
            }
            ASSERT_LT(killAt, 100) << "the swap never ends";
        }
        EXPECT_TRUE(sawOld);
        EXPECT_TRUE(sawNew);
    }
}

// The writer's own segment renames, killed at every step: the files under the
// final names are always the old bytes or the new bytes, never a mix, once
// the next run's cleanup has run.
TEST(ZipSetSwap, WriterCommitKilledAtEveryStepKeepsOneWholeSet) {
    auto write = [](const std::string& finalPath, const std::string& bytes, const StepHook& hook) {
        archive::ArchiveOutput output(finalPath, 10, 10, false);
        output.Write(bytes);
        output.SetBeforeSwapStep(hook);
        output.Commit();
    };
    auto joined = [](const std::string& folder) {
        std::string bytes;
        for (const std::string& name : FileNamesIn(folder))
            bytes += ReadFile(folder + "/" + name);
        return bytes;
    };
    const std::string oldBytes = "old set, four segments of ten bytes.";
    const std::string newBytes = "new set, three segments";
    bool sawOld = false, sawNew = false;
    for (int killAt = 0;; ++killAt) {
        SCOPED_TRACE("killed at step " + std::to_string(killAt));
        TempFolder dir;
        fs::create_directories(dir / "out");
        write(dir / "out/a.zip", oldBytes, {});
        ASSERT_EQ(FileNamesIn(dir / "out"), (std::vector<std::string>{"a.z01", "a.z02", "a.z03", "a.zip"}));
        const bool killed = RunKilledAtStep([&](const StepHook& hook) { write(dir / "out/a.zip", newBytes, hook); },
                                            killAt);
        std::string error;
        ASSERT_TRUE(archive::RemoveWriterLeftovers(dir / "out", error)) << error;
        const std::string now = joined(dir / "out");
        EXPECT_FALSE(HasTemporaryNames(FileNamesIn(dir / "out")));
        if (now == oldBytes) {
            EXPECT_FALSE(sawNew);
            sawOld = true;
        } else {
            EXPECT_EQ(now, newBytes);
            EXPECT_EQ(FileNamesIn(dir / "out"), (std::vector<std::string>{"a.z01", "a.z02", "a.zip"}));
            sawNew = true;
        }
        if (!killed)
            break;
        ASSERT_LT(killAt, 100) << "the commit never ends";
    }
    EXPECT_TRUE(sawOld);
    EXPECT_TRUE(sawNew);
}

// A rename that fails half-way through puts the old set back and the new
// files under their own names, and names the cause.
TEST(ZipSetSwap, FailedRenameRestoresTheOldSetAndKeepsTheNewFiles) {
    TempFolder dir;
    const std::string out = dir / "out";
    const std::vector<std::string> oldFiles{out + "/a.z01", out + "/a.zip"};
    const std::vector<std::string> newFiles{out + "/n.z01", out + "/n.z02", out + "/n.zip"};
    const std::vector<std::string> finalNames{out + "/a.z01", out + "/a.z02", out + "/a.zip"};
    for (const std::string& path : oldFiles)
        WriteFile(path, "old " + path);
    for (const std::string& path : newFiles)
        WriteFile(path, "new " + path);
    int step = 0;
    std::string error;
    // Before the second new file's rename, a folder takes its final name.
    const bool replaced = archive::ReplaceFileSet(newFiles, finalNames, oldFiles, error, [&] {
        if (++step == 5)
            WriteFile(out + "/a.z02/in-the-way", "x");
    });
    EXPECT_FALSE(replaced);
    EXPECT_NE(error.find(out + "/a.z02"), std::string::npos) << error;
    EXPECT_EQ(FileNamesIn(out), (std::vector<std::string>{"a.z01", "a.z02", "a.zip", "n.z01", "n.z02", "n.zip"}));
    for (const std::string& path : oldFiles)
        EXPECT_EQ(ReadFile(path), "old " + path);
    for (const std::string& path : newFiles)
        EXPECT_EQ(ReadFile(path), "new " + path);
}

// A journal cut off while it was written means nothing was moved yet; a file
// of that name that is not a journal of ours stops the cleanup untouched.
TEST(ZipSetSwap, CutOffJournalIsDroppedAndAForeignOneKeepsEverything) {
    TempFolder dir;
    const std::string out = dir / "out";
    WriteFile(out + "/a.zip", "archive");
    WriteFile(out + "/a.zip.~00000000", "writer file");
    WriteFile(out + "/a.zip.~swap", std::string("norvane-set-swap-1\0old\0a.zi", 27));
    std::string error;
    EXPECT_TRUE(archive::RemoveWriterLeftovers(out, error)) << error;
    EXPECT_EQ(FileNamesIn(out), (std::vector<std::string>{"a.zip"}));

    WriteFile(out + "/a.zip.~00000000", "writer file");
    WriteFile(out + "/b.zip.~swap", "something else");
    EXPECT_FALSE(archive::RemoveWriterLeftovers(out, error));
    EXPECT_NE(error.find("b.zip.~swap"), std::string::npos) << error;
    EXPECT_EQ(FileNamesIn(out), (std::vector<std::string>{"a.zip", "a.zip.~00000000", "b.zip.~swap"}));
}
