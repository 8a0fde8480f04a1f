#pragma once

#include "slipkit/SlipHeader.h"

#include <optional>

namespace slipkit {

// How a registration ended. A number another desk took since it was proposed is no
// failure: the slip's lines stay on screen and the next free number is proposed.
struct Registration {
    enum class Outcome { Saved, NumberTaken };
    Outcome outcome = Outcome::Saved;
    qint32 number = 0;     // the number tried
    qint32 nextNumber = 0; // NumberTaken: the number now proposed

    bool saved() const { return outcome == Outcome::Saved; }
};

// The use cases of one kind of slip, each one transaction on its file. The lines of the slip
// on screen are this desk's lines of the kind's work table, which the window's grid edits;
// a use case that writes a slip takes them from there and empties them with the same commit.
// A slip the kind's rules refuse (no lines, a line without its quantity or amount, beyond
// the bill) is refused with a desk::ConversionError (Refused) in the clerk's words and
// nothing is written; a database failure is a desk::DbError.
class SlipBook {
public:
    virtual ~SlipBook();

    // The next free number: the highest plus one, 1 for none.
    virtual qint32 nextNumber() = 0;
    // A new slip under header.number, its lines the work lines.
    virtual Registration registerSlip(const SlipHeader& header) = 0;
    // The called-up slip `calledUp` rewritten from the header and the work lines.
    virtual void correctSlip(qint32 calledUp, const SlipHeader& header) = 0;
    // The slip, header and lines, and the work lines.
    virtual void deleteSlip(qint32 number) = 0;
    // Empties the work lines and loads the slip's lines into them; its header, or nothing
    // (the work lines emptied all the same) when no slip has the number.
    virtual std::optional<SlipHeader> callUp(qint32 number) = 0;
    // Empties this desk's work lines.
    virtual void clearWork() = 0;
};

} // namespace slipkit
