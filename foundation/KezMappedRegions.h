#pragma once
// Read-only file mappings that survive their file being rewritten in place.
// A file copied over (not renamed over) while it is mapped makes reads past
// its new end fault (SIGBUS); for a registered mapping the fault maps a page
// of zeros there instead and marks the mapping as changed, so that the
// reader sees meaningless bytes (which its bounds keep harmless) rather than
// dying, and the program can read the file again. A fault anywhere else
// ends the process as it would have. Where files cannot be rewritten under
// a mapping (Windows), registering does nothing.
#include <cstddef>

// Registers a mapping; false when the table of mappings is full (the
// mapping then has no such guard).
bool RegisterMappedRegion(const void* start, size_t size);
void UnregisterMappedRegion(const void* start);
// Whether a read in the registered mapping found its file shorter than it was.
bool MappedRegionFaulted(const void* start);
