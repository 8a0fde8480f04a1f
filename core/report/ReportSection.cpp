#include "report/ReportSection.h"

#include <stdexcept>

namespace desk {

ReportSection::ReportSection(SectionKind kind, std::function<bool(const QString&)> nameTaken)
    : m_kind(kind)
    , m_nameTaken(std::move(nameTaken)) {}

void ReportSection::setHeight(double millimetres) {
    if (millimetres < 0.0)
        throw std::invalid_argument("a section cannot have a negative height");
    m_height = millimetres;
}

ReportControl& ReportSection::add(ReportControl control) {
    // Names address run-time labels, so two controls of one report never share one.
    if (control.name.isEmpty() || (m_nameTaken && m_nameTaken(control.name)))
        throw std::invalid_argument("report control name empty or used twice: " + control.name.toStdString());
    m_controls.push_back(std::move(control));
    return m_controls.back();
}

ReportControl& ReportSection::addLabel(const QString& name, const QRectF& rect, const QString& caption) {
    ReportControl c;
    c.kind = ReportControl::Kind::Label;
    c.name = name;
    c.rect = rect;
    c.text = caption;
    return add(std::move(c));
}

ReportControl& ReportSection::addRuntimeLabel(const QString& name, const QRectF& rect) {
    ReportControl c;
    c.kind = ReportControl::Kind::RuntimeLabel;
    c.name = name;
    c.rect = rect;
    return add(std::move(c));
}

ReportControl& ReportSection::addField(const QString& name, const QRectF& rect, const QString& column,
                                       const QString& format) {
    ReportControl c;
    c.kind = ReportControl::Kind::Field;
    c.name = name;
    c.rect = rect;
    c.text = column;
    c.format = format;
    if (!format.isEmpty())
        c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    return add(std::move(c));
}

ReportControl& ReportSection::addSum(const QString& name, const QRectF& rect, const QString& column,
                                     const QString& format) {
    ReportControl c;
    c.kind = ReportControl::Kind::Sum;
    c.name = name;
    c.rect = rect;
    c.text = column;
    c.format = format;
    c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    return add(std::move(c));
}

ReportControl& ReportSection::addLine(const QString& name, const QLineF& line) {
    ReportControl c;
    c.kind = ReportControl::Kind::Line;
    c.name = name;
    c.line = line;
    return add(std::move(c));
}

ReportControl& ReportSection::addPageNumber(const QString& name, const QRectF& rect) {
    return addLabel(name, rect, QStringLiteral("%p")).setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

ReportControl& ReportSection::addPrintDate(const QString& name, const QRectF& rect, bool longForm) {
    return addLabel(name, rect, longForm ? QStringLiteral("%D") : QStringLiteral("%d"));
}

ReportControl* ReportSection::control(const QString& name) {
    for (auto& c : m_controls) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

const ReportControl* ReportSection::control(const QString& name) const {
    return const_cast<ReportSection*>(this)->control(name);
}

} // namespace desk
