#include "SlipSession.h"

#include "convert/Convert.h"

#include <cmath>

namespace slipkit {

SlipBook::~SlipBook() = default;

SlipSession::SlipSession(std::unique_ptr<SlipBook> book)
    : m_book(std::move(book)) {}

qint32 SlipSession::proposeNumber() {
    m_number = m_book->nextNumber();
    return m_number;
}

Registration SlipSession::registerSlip(SlipHeader header) {
    header.number = m_number;
    const Registration result = m_book->registerSlip(header);
    if (result.saved()) {
        startNew();
    } else {
        m_number = result.nextNumber;
    }
    return result;
}

void SlipSession::correct(SlipHeader header) {
    header.number = m_number;
    m_book->correctSlip(m_calledUpNumber, header);
    startNew();
}

qint32 SlipSession::remove() {
    const qint32 number = m_calledUpNumber;
    m_book->deleteSlip(number);
    startNew();
    return number;
}

std::optional<SlipHeader> SlipSession::callUp(qint32 number) {
    std::optional<SlipHeader> header;
    if (number != 0)
        header = m_book->callUp(number);
    else
        m_book->clearWork();
    if (!header)
        return std::nullopt;
    m_mode = Mode::CalledUp;
    m_number = header->number;
    m_calledUpNumber = header->number;
    m_linesEdited = false;
    return header;
}

void SlipSession::clear() {
    m_book->clearWork();
    startNew();
}

void SlipSession::startNew() {
    m_mode = Mode::New;
    m_calledUpNumber = 0;
    m_linesEdited = false;
}

qint32 SlipSession::typedNumber(const QString& answer, Typed reading) {
    double typed = desk::convert::leadingNumber(answer);
    if (reading == Typed::Rounded)
        typed = desk::convert::roundHalfEven(typed);
    else if (typed != std::trunc(typed))
        return 0;
    return std::isfinite(typed) && std::fabs(typed) <= 2147483647.0 ? static_cast<qint32>(typed) : 0;
}

} // namespace slipkit
