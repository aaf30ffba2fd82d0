#pragma once

#include "core/register_map.h"
#include "scpi/scpi_session.h"

#include <vector>

namespace max2870::scpi {

// How the link took an operation.
enum class LinkAnswer {
    Queued,  // it will go out in order
    Missing, // no port to send on (-241): the setting stands, nothing goes out
    Failed,  // the port was lost (-240)
};

// Where the instrument's settings go: a paced link to the board. Operations are carried out in
// the order given; each one counts towards the tickets. `client` names the connection that asked,
// so a later failure reaches its error queue.
class InstrumentLink {
public:
    virtual ~InstrumentLink() = default;

    // One set: the registers whose word differs from the one last sent (Reg5 … Reg1), then Reg0;
    // all six when nothing has been sent since the last Forget.
    virtual LinkAnswer Program(const RegisterWords& words, int client) = 0;
    // A sweep or list pass: each point as Program, the dwell after its Reg0.
    virtual LinkAnswer RunPass(std::vector<RegisterWords> points, double dwellSeconds,
                               int client) = 0;
    // Every register line, Reg5 first, each followed by the store line.
    virtual LinkAnswer Store(const RegisterWords& words, int client) = 0;
    // Asks the board for its stored set; the decoded set is handed back by the owner.
    virtual LinkAnswer Recall(int client) = 0;
    // The next set sends all six (after *RST).
    virtual void Forget() = 0;
    // Stops a running pass after the set on the wire.
    virtual void Abort() = 0;

    // The ticket of the operations given so far, and whether the link has done them.
    virtual Ticket Issued() const = 0;
    virtual bool Done(Ticket ticket) const = 0;
};

} // namespace max2870::scpi
