#pragma once
#include "core/printing/GraphImageExport.h"

// The graph page as an SVG drawing through Qt's SVG generator.
class QtSvgGraphWriter final : public SvgGraphWriter
{
public:
    QString writeSvg(const QString &path, const QSize &size, const DrawGraphPage &drawPage) override;
};
