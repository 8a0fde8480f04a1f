#pragma once

#include "report/ReportItem.h"

#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

namespace desk {

// A report laid out into pages: what is drawn where, independent of any device. The
// preview shows it, printing and export paint it, and tests read it back.
class ReportDocument {
public:
    QString title;
    QString fileName; // what a PDF export proposes, without folder or suffix; the title when empty
    QPageLayout pageLayout;
    int pageCount = 0;
    QList<ReportItem> items; // in drawing order, page by page

    // Items of one page (from 1), or of every page with 0.
    QList<ReportItem> itemsOnPage(int page) const;
    // The texts drawn on one page (or every page with 0), in drawing order.
    QStringList texts(int page = 0) const;
    // Every text item drawn by the named control, in drawing order.
    QList<ReportItem> byControl(const QString& control) const;
    // Every text item with exactly this text.
    QList<ReportItem> find(const QString& text) const;
    // Sections placed on a page, in order, each listed once per band it printed
    // (so a page of three detail rows lists Detail three times).
    QList<SectionKind> bands(int page) const;

    // Placement of each band: section, page and top in millimetres. Kept for checks on
    // the vertical layout (no band split across pages, footers at the bottom).
    struct Band {
        SectionKind section;
        int page;
        double top;
        double height;
        int row;
    };
    QList<Band> bandList;
};

} // namespace desk
