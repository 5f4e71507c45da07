#pragma once

namespace velmor {

// libmosquitto's process-wide set-up (sockets, random numbers, TLS), held for as long as the object
// lives. main() makes one before any MQTT connection exists.
class MosquittoLibrary {
public:
    MosquittoLibrary();
    ~MosquittoLibrary();
    MosquittoLibrary(const MosquittoLibrary&) = delete;
    MosquittoLibrary& operator=(const MosquittoLibrary&) = delete;
};

} // namespace velmor
