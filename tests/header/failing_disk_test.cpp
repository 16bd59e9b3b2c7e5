// The header write on a disk that fails in the middle of it: the write of the
// rebuilt page stops part-way and the write-back of the page as read fails
// too. No real disk here fails on demand, so this executable puts a stand-in
// in front of the system's pwrite; everything else is the real file.
#include "tests/header/editor_fixture.h"

#include <algorithm>
#include <cerrno>
#include <dlfcn.h>
#include <unistd.h>

using namespace tessaldrin::testing;

namespace {
// While set, the next write stops after 100 bytes, and every write after it
// fails.
bool gTearing = false;
bool gTorn = false;
} // namespace

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    using Real = ssize_t (*)(int, const void*, size_t, off_t);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "pwrite"));
    if (gTearing && gTorn) {
        errno = EIO;
        return -1;
    }
    gTorn = gTearing;
    return real(fd, buffer, gTearing ? std::min<size_t>(count, 100) : count, offset);
}

using ChangeContinuationLinkOnAFailingDiskStandIn = EditorTest;

// Left so, the page on disk is part new, part old: the line says that it may
// be damaged, not that it was restored.
TEST_F(ChangeContinuationLinkOnAFailingDiskStandIn, SaysWhenThePageCouldNotBeRestored) {
    const SyntheticPage page = SyntheticPage().Entry(3, "/alt/Tessaldrin_1.GDB");
    ASSERT_TRUE(Prepare(page));
    ASSERT_TRUE(editor.ReadContinuationLink(log));
    editor.NewLinkName = "/neu/Tessaldrin_1.TDB";
    gTearing = true;
    const bool changed = editor.ChangeContinuationLink(log);
    gTearing = false;

    EXPECT_FALSE(changed);
    EXPECT_EQ(log.Lines.back(), lines::Error(lines::kNotRestored));
    EXPECT_EQ(log.Lines.size(), 3u); // 21016, 21026 and the one error line
    const std::string torn = FileBytes();
    EXPECT_NE(torn, page.Text());
    EXPECT_EQ(torn.substr(100), page.Text().substr(100));
}
