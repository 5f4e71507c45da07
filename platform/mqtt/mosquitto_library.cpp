#include "platform/mqtt/mosquitto_library.h"

#include <mosquitto.h>

namespace velmor {

MosquittoLibrary::MosquittoLibrary() {
    mosquitto_lib_init();
}

MosquittoLibrary::~MosquittoLibrary() {
    mosquitto_lib_cleanup();
}

} // namespace velmor
