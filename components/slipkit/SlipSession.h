#pragma once

#include "slipkit/SlipBook.h"

#include <QString>

#include <memory>
#include <optional>

namespace slipkit {

// The slip on screen, as the sales and the payment windows keep it: a new slip under a
// proposed number, or a called-up one; whether its lines changed since they were last
// written; one use case of the book per action. The window shows what it says and asks
// the clerk; this class asks nothing and shows nothing.
//
// New: register on, correct and delete off, the proposed number shown.
// CalledUp (after a call-up that found its slip): register off, correct and delete on, the
// called-up number shown.
class SlipSession {
public:
    enum class Mode { New, CalledUp };

    explicit SlipSession(std::unique_ptr<SlipBook> book);

    Mode mode() const { return m_mode; }
    bool calledUp() const { return m_mode == Mode::CalledUp; }
    // The number on screen: the one proposed for a new slip, or the slip called up (which
    // stays after it was deleted, until a number is proposed again).
    qint32 number() const { return m_number; }
    // The called-up slip's number, kept for correcting or deleting it.
    qint32 calledUpNumber() const { return m_calledUpNumber; }

    // Proposes the next free number.
    qint32 proposeNumber();
    // Registers a new slip under the number on screen. Taken meanwhile: the next number is
    // proposed and the lines stay. Saved: the session is a new slip again, with no number
    // proposed yet (the window proposes the next when it is ready).
    Registration registerSlip(SlipHeader header);
    // Rewrites the called-up slip under the number on screen; a new slip afterwards.
    void correct(SlipHeader header);
    // Deletes the called-up slip; a new slip afterwards, the deleted number still on screen.
    qint32 remove();
    // The slip of a number, called up with its lines, or nothing (nothing called up, the
    // mode unchanged). A number that names no slip (0, or none typed) finds nothing.
    std::optional<SlipHeader> callUp(qint32 number);
    // Empties the work lines; a new slip.
    void clear();
    // A new slip without touching the work lines (the lines left from before stay).
    void startNew();

    // The grid changed the lines.
    void noteLinesEdited() { m_linesEdited = true; }
    // The lines on screen are the slip's as it is stored (the grid has just shown them again).
    void linesMatchTheSlip() { m_linesEdited = false; }
    bool linesEdited() const { return m_linesEdited; }
    // Lines on screen that no register or correction has written yet: a new slip's lines,
    // or a called-up slip's once changed.
    bool hasUnsavedLines(int lineCount) const { return lineCount > 0 && (!calledUp() || m_linesEdited); }
    // The screen shows a slip as it is stored: called up and not changed since (what a
    // receipt, a record of money taken, may be printed for).
    bool showsStoredSlip() const { return calledUp() && !m_linesEdited; }

    // The number a clerk typed at a call-up: its leading number, halves to even for a slip
    // numbered as sales are, whole numbers only for one numbered as payments are (a fraction
    // names no payment); 0 (no slip) for none or beyond 32 bits.
    enum class Typed { Rounded, WholeOnly };
    static qint32 typedNumber(const QString& answer, Typed reading);

private:
    std::unique_ptr<SlipBook> m_book;
    Mode m_mode = Mode::New;
    qint32 m_number = 0;
    qint32 m_calledUpNumber = 0;
    bool m_linesEdited = false;
};

} // namespace slipkit
