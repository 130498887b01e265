// A year or month page as a Windows metafile: drawn in thousandths of an inch with the
// anisotropic mapping mode, then put on the clipboard as a metafile picture or written to a
// placeable metafile file that other programs open.
#pragma once

#include <windows.h>

#include <string>

#include "print/print_job.h"

namespace kv {

inline constexpr int kMetafileUnitsPerInch = 1000;

struct CalendarMetafile {
  HMETAFILE handle = nullptr;
  Size extents;                 // thousandths of an inch
};

// The page of the year `year` (Year) or of the month (Month) on paper of `paper`, the margins
// left out and the month in its 11 : 8 shape unless the layout fills the margins. A null handle
// when the metafile could not be made.
CalendarMetafile DrawCalendarMetafile(PrintKind kind, int year, int month, const PaperMetrics& paper,
                                      const PageLayout& layout, const PrintSources& sources);

// A Letter sheet, for when there is no printer to measure (across it when landscape).
PaperMetrics LetterPaper(bool landscape);

// Both take the metafile over (it is on the clipboard, or deleted, afterwards).
bool PutMetafileOnClipboard(HWND owner, CalendarMetafile metafile);
bool WriteMetafileFile(const std::string& path, CalendarMetafile metafile);

}  // namespace kv
