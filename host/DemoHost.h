#pragma once
// The host's lifecycle: start-up, precache step, frame loop, shutdown.

class CDemoHost {
public:
    CDemoHost();   // the start-up sequence; raises CError* on failure
    ~CDemoHost();  // the shutdown sequence
    CDemoHost(const CDemoHost&) = delete;
    CDemoHost& operator=(const CDemoHost&) = delete;
};

// Creates the one host instance. When start-up raises, nothing is kept and
// the error passes on.
void CreateHost();
// The engine's loading step, unless start-up already asked to quit.
void RunPrecache();
// Drives the engine frame by frame until it is finished or the user quits.
void RunFrames();
// Shuts the host down, if it exists.
void DestroyHost();
