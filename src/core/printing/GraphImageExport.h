#pragma once
#include <QSize>
#include <QString>
#include <optional>

#include "core/printing/GraphPrintout.h"

class Prompts;

// Writes the graph page as an SVG drawing. The SVG generator lives outside the core.
class SvgGraphWriter
{
public:
    virtual ~SvgGraphWriter() = default;
    // Returns "" or the reason the file could not be written.
    virtual QString writeSvg(const QString &path, const QSize &size, const DrawGraphPage &drawPage) = 0;
};

// The graph page the graph window shows, as Save Graph takes it.
struct GraphImageSource {
    bool graphVisible = false;
    bool recordEmpty = true;
    QString recordFileName; // "yymmdd_hhnnss.xlsx"
    QString pageText;       // the graph's page box
    QSize pictureSize;      // the picture's on-screen size in pixels
    QString folder;         // where the save dialog starts (the records folder); "" = the current folder
};

namespace GraphImageExport
{

enum class Format { Bmp, Jpeg, Png, Svg };

// "BMP Windows Bitmap(*.bmp);;JPEG(*.jpg);;PNG(*.png);;SVG(*.svg)"
QString fileFilter();
// the record file name without its extension, at most 13 characters, "_P", the page:
// 261205_151230_P2, rec1_P1
QString suggestedFileName(const QString &recordFileName, const QString &pageText);
// by the name's extension, in any case: ".bmp", ".jpg", ".png", ".svg"; none for any other name
std::optional<Format> namedFormat(const QString &path);
// the named format, a Windows bitmap for any other name
Format formatOf(const QString &path);

// Writes the graph page to `path` in the format its name names; an existing file is replaced
// only once the new one is complete. Returns "" or the reason it failed.
QString writeImage(const QString &path, const QSize &size, const DrawGraphPage &drawPage,
                   SvgGraphWriter &svg);

// The message for a file that could not be written.
QString writeFailureText(const QString &path, const QString &reason);

// Save Graph without dialogs (unattended runs): "" or the message the command would show.
// The format follows `path`'s extension; no extension is added.
QString saveWithoutDialog(const QString &path, const GraphImageSource &source, const DrawGraphPage &drawPage,
                          SvgGraphWriter &svg);

} // namespace GraphImageExport

// Save Graph: asks for a file with the save dialog and writes the graph page to it.
class GraphImageSaver
{
public:
    GraphImageSaver(Prompts &prompts, SvgGraphWriter &svg) : m_prompts(prompts), m_svg(svg) {}

    void saveGraph(const GraphImageSource &source, const DrawGraphPage &drawPage);

private:
    Prompts &m_prompts;
    SvgGraphWriter &m_svg;
};
