#pragma once

// Registers every tool of the system with the tool registry while the core
// loads: adding a tool is one line in its table.
class MToolCatalog
{
public:
    // The number of tools registered.
    static int registeredCount();
};
