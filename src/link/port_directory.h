#pragma once

#include "link/port_choice.h"

#include <string>
#include <vector>

namespace max2870 {

struct PortCandidate {
    std::string name;    // what the port box lists and the serial layer opens
    std::string details; // description, manufacturer and USB ids, where known
};

// The ports worth probing at start-up, in the order the port box lists them.
class PortDirectory {
public:
    virtual ~PortDirectory() = default;
    virtual PortNaming Naming() const = 0;
    virtual std::vector<PortCandidate> Candidates() const = 0;
};

// The operating system's ports: COM1 to COM32 on Windows; elsewhere the serial devices the
// system reports, by device path, in natural order of their names (ttyS2 before ttyS10).
class SystemPortDirectory : public PortDirectory {
public:
    PortNaming Naming() const override;
    std::vector<PortCandidate> Candidates() const override;
};

} // namespace max2870
