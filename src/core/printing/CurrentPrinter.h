#pragma once
#include <QString>

#include "core/printing/TwipPage.h"

// The program's current printer, as the print commands use it.
class CurrentPrinter
{
public:
    virtual ~CurrentPrinter() = default;
    // An installed printer, or printing to a PDF file where the print dialog offers it.
    virtual bool available() const = 0;
    // Prints `copies` copies of `document`. Returns "" or a message naming the printer or file
    // and the reason it failed.
    virtual QString print(const PrintDocument &document, int copies) = 0;
};
