#include "print/metafile_output_win.h"

#include <utility>
#include <vector>

#include "base/canvas_gdi_win.h"
#include "base/file_io.h"
#include "print/metafile_file.h"

namespace kv {

PaperMetrics LetterPaper(bool landscape) {
  PaperMetrics p{12240, 15840, 0, 0};
  if (landscape) std::swap(p.width, p.height);
  return p;
}

CalendarMetafile DrawCalendarMetafile(PrintKind kind, int year, int month, const PaperMetrics& paper,
                                      const PageLayout& layout, const PrintSources& sources) {
  CalendarMetafile out;
  PageLayout whole = layout;
  whole.topMargin = whole.leftMargin = whole.rightMargin = whole.bottomMargin = 0;
  PaperMetrics sheet = paper;
  sheet.offsetX = sheet.offsetY = 0;
  const Rect content = ComputePageGeometry(sheet, whole, kind).content;
  out.extents = {content.Width() * 100 / 144, content.Height() * 100 / 144};
  if (out.extents.cx <= 0 || out.extents.cy <= 0) return out;
  HDC dc = CreateMetaFileA(nullptr);
  if (!dc) return out;
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, out.extents.cx, out.extents.cy, nullptr);
  {
    GdiCanvas canvas(dc);
    canvas.SetUnitsPerInch(kMetafileUnitsPerInch);
    ApplyPrintFonts(canvas, kind, sources.fonts);
    const Rect page{0, 0, out.extents.cx, out.extents.cy};
    if (kind == PrintKind::Year) RenderYearPage(canvas, page, year, sources);
    else RenderMonthPage(canvas, page, year, month, sources);
  }
  out.handle = CloseMetaFile(dc);
  return out;
}

bool PutMetafileOnClipboard(HWND owner, CalendarMetafile metafile) {
  if (!metafile.handle) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  auto* picture = block ? static_cast<METAFILEPICT*>(GlobalLock(block)) : nullptr;
  if (!picture || !OpenClipboard(owner)) {
    if (block) GlobalFree(block);
    DeleteMetaFile(metafile.handle);
    return false;
  }
  picture->mm = MM_ANISOTROPIC;
  picture->xExt = MulDiv(metafile.extents.cx, 254, 100);  // hundredths of a millimetre
  picture->yExt = MulDiv(metafile.extents.cy, 254, 100);
  picture->hMF = metafile.handle;
  GlobalUnlock(block);
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_METAFILEPICT, block) != nullptr;
  CloseClipboard();
  if (!ok) {
    DeleteMetaFile(metafile.handle);
    GlobalFree(block);
  }
  return ok;
}

bool WriteMetafileFile(const std::string& path, CalendarMetafile metafile) {
  if (!metafile.handle) return false;
  const UINT size = GetMetaFileBitsEx(metafile.handle, 0, nullptr);
  std::vector<uint8_t> bits(size);
  const bool got = size > 0 && GetMetaFileBitsEx(metafile.handle, size, bits.data()) == size;
  DeleteMetaFile(metafile.handle);
  if (!got) return false;
  return WriteFileReplacing(path, MakePlaceableMetafile(bits, metafile.extents.cx, metafile.extents.cy,
                                                        kMetafileUnitsPerInch));
}

}  // namespace kv
