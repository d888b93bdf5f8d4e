#include <gtest/gtest.h>

#include "app/Commands.h"

namespace {

TEST(FileErrorText, EachCauseShowsItsOwnTextWithThePath) {
    const std::pair<CFileException::Cause, const char*> texts[] = {
        {CFileException::none, "No error occurred."},
        {CFileException::genericException,
         "An unexpected error occurred while accessing /d/w.txt."},
        {CFileException::fileNotFound, "/d/w.txt was not found."},
        {CFileException::badPath, "/d/w.txt contains an invalid path."},
        {CFileException::tooManyOpenFiles,
         "/d/w.txt could not be opened because there are too many open files."},
        {CFileException::accessDenied, "Access to /d/w.txt was denied."},
        {CFileException::invalidFile, "An invalid file handle was associated with /d/w.txt."},
        {CFileException::removeCurrentDir,
         "/d/w.txt could not be removed because it is the current directory."},
        {CFileException::directoryFull,
         "/d/w.txt could not be created because the directory is full."},
        {CFileException::badSeek, "Seek failed on /d/w.txt"},
        {CFileException::hardIO, "A hardware I/O error was reported while accessing /d/w.txt."},
        {CFileException::sharingViolation,
         "A sharing violation occurred while accessing /d/w.txt."},
        {CFileException::lockViolation, "A locking violation occurred while accessing /d/w.txt."},
        {CFileException::diskFull, "Disk full while accessing /d/w.txt."},
        {CFileException::endOfFile, "An attempt was made to access /d/w.txt past its end."},
    };
    for (const auto& [cause, text] : texts)
        EXPECT_EQ(FileErrorText(CFileException(cause, "/d/w.txt")), text) << int(cause);
    EXPECT_EQ(FileErrorText(CFileException(CFileException::Cause(99), "/x")),
              "An unexpected error occurred while accessing /x.");
    EXPECT_EQ(FileErrorText(CFileException(CFileException::CauseFromErrno(EACCES), "/x")),
              "Access to /x was denied.");
    EXPECT_EQ(FileErrorText(CFileException(CFileException::CauseFromErrno(ENOSPC), "/x")),
              "Disk full while accessing /x.");
}

} // namespace
