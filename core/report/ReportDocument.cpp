#include "report/ReportDocument.h"

namespace desk {

QList<ReportItem> ReportDocument::itemsOnPage(int page) const {
    QList<ReportItem> result;
    for (const ReportItem& item : items) {
        if (page == 0 || item.page == page)
            result.append(item);
    }
    return result;
}

QStringList ReportDocument::texts(int page) const {
    QStringList result;
    for (const ReportItem& item : items) {
        if (item.kind == ReportItem::Kind::Text && (page == 0 || item.page == page))
            result.append(item.text);
    }
    return result;
}

QList<ReportItem> ReportDocument::byControl(const QString& control) const {
    QList<ReportItem> result;
    for (const ReportItem& item : items) {
        if (item.control == control)
            result.append(item);
    }
    return result;
}

QList<ReportItem> ReportDocument::find(const QString& text) const {
    QList<ReportItem> result;
    for (const ReportItem& item : items) {
        if (item.kind == ReportItem::Kind::Text && item.text == text)
            result.append(item);
    }
    return result;
}

QList<SectionKind> ReportDocument::bands(int page) const {
    QList<SectionKind> result;
    for (const Band& band : bandList) {
        if (band.page == page)
            result.append(band.section);
    }
    return result;
}

} // namespace desk
