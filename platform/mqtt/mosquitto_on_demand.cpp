// libmosquitto, and the OpenSSL it brings, load the first time the program calls into them rather
// than with the program: without VELMOR_MQTT they never load at all. Loaded with the program, they
// cost every start some 150 page faults and 25,000 relocations, and 1.8 MiB stay resident, for nothing.
// The functions the program calls are defined here; each looks up its namesake in the library on its
// first call and hands over to it from then on. The declarations stay those of the library's headers.
#include <QtGlobal>

#include <dlfcn.h>
#include <mosquitto.h>
#include <openssl/ssl.h>

namespace {

void* mosquittoLibrary() {
    static void* const library = [] {
        void* const opened = dlopen("libmosquitto.so.1", RTLD_NOW | RTLD_LOCAL);
        if (opened == nullptr)
            qFatal("velmor: MQTT needs libmosquitto.so.1, which cannot be loaded: %s", dlerror());
        return opened;
    }();
    return library;
}

// The library's own function of that name (OpenSSL's among them, through the library's dependencies).
template <typename Function> Function* fromLibrary(const char* name) {
    void* const found = dlsym(mosquittoLibrary(), name);
    if (found == nullptr)
        qFatal("velmor: libmosquitto.so.1 has no %s", name);
    return reinterpret_cast<Function*>(found);
}

} // namespace

#define VELMOR_ON_DEMAND(result, name, parameters, arguments)                                                \
    extern "C" result name parameters {                                                                      \
        static auto* const function = fromLibrary<decltype(name)>(#name);                                    \
        return function arguments;                                                                           \
    }

VELMOR_ON_DEMAND(int, mosquitto_lib_init, (), ())
VELMOR_ON_DEMAND(int, mosquitto_lib_cleanup, (), ())
VELMOR_ON_DEMAND(const char*, mosquitto_strerror, (int mosq_errno), (mosq_errno))
VELMOR_ON_DEMAND(const char*, mosquitto_connack_string, (int connack_code), (connack_code))
VELMOR_ON_DEMAND(const char*, mosquitto_reason_string, (int reason_code), (reason_code))
VELMOR_ON_DEMAND(mosquitto*, mosquitto_new, (const char* id, bool clean_session, void* obj),
                 (id, clean_session, obj))
VELMOR_ON_DEMAND(void, mosquitto_destroy, (mosquitto * mosq), (mosq))
VELMOR_ON_DEMAND(int, mosquitto_int_option, (mosquitto * mosq, mosq_opt_t option, int value),
                 (mosq, option, value))
VELMOR_ON_DEMAND(int, mosquitto_username_pw_set,
                 (mosquitto * mosq, const char* username, const char* password), (mosq, username, password))
VELMOR_ON_DEMAND(int, mosquitto_tls_opts_set,
                 (mosquitto * mosq, int cert_reqs, const char* tls_version, const char* ciphers),
                 (mosq, cert_reqs, tls_version, ciphers))
VELMOR_ON_DEMAND(int, mosquitto_will_set,
                 (mosquitto * mosq, const char* topic, int payloadlen, const void* payload, int qos,
                  bool retain),
                 (mosq, topic, payloadlen, payload, qos, retain))
VELMOR_ON_DEMAND(void, mosquitto_connect_v5_callback_set,
                 (mosquitto * mosq,
                  void (*on_connect)(mosquitto*, void*, int, int, const mosquitto_property*)),
                 (mosq, on_connect))
VELMOR_ON_DEMAND(void, mosquitto_disconnect_v5_callback_set,
                 (mosquitto * mosq, void (*on_disconnect)(mosquitto*, void*, int, const mosquitto_property*)),
                 (mosq, on_disconnect))
VELMOR_ON_DEMAND(void, mosquitto_publish_v5_callback_set,
                 (mosquitto * mosq,
                  void (*on_publish)(mosquitto*, void*, int, int, const mosquitto_property*)),
                 (mosq, on_publish))
VELMOR_ON_DEMAND(void, mosquitto_subscribe_v5_callback_set,
                 (mosquitto * mosq,
                  void (*on_subscribe)(mosquitto*, void*, int, int, const int*, const mosquitto_property*)),
                 (mosq, on_subscribe))
VELMOR_ON_DEMAND(void, mosquitto_message_v5_callback_set,
                 (mosquitto * mosq,
                  void (*on_message)(mosquitto*, void*, const mosquitto_message*, const mosquitto_property*)),
                 (mosq, on_message))
VELMOR_ON_DEMAND(int, mosquitto_connect_async, (mosquitto * mosq, const char* host, int port, int keepalive),
                 (mosq, host, port, keepalive))
VELMOR_ON_DEMAND(int, mosquitto_disconnect, (mosquitto * mosq), (mosq))
VELMOR_ON_DEMAND(int, mosquitto_socket, (mosquitto * mosq), (mosq))
VELMOR_ON_DEMAND(bool, mosquitto_want_write, (mosquitto * mosq), (mosq))
VELMOR_ON_DEMAND(int, mosquitto_loop_read, (mosquitto * mosq, int max_packets), (mosq, max_packets))
VELMOR_ON_DEMAND(int, mosquitto_loop_write, (mosquitto * mosq, int max_packets), (mosq, max_packets))
VELMOR_ON_DEMAND(int, mosquitto_loop_misc, (mosquitto * mosq), (mosq))
VELMOR_ON_DEMAND(int, mosquitto_subscribe, (mosquitto * mosq, int* mid, const char* sub, int qos),
                 (mosq, mid, sub, qos))
VELMOR_ON_DEMAND(int, mosquitto_publish,
                 (mosquitto * mosq, int* mid, const char* topic, int payloadlen, const void* payload, int qos,
                  bool retain),
                 (mosq, mid, topic, payloadlen, payload, qos, retain))
VELMOR_ON_DEMAND(void*, mosquitto_ssl_get, (mosquitto * mosq), (mosq))
VELMOR_ON_DEMAND(int, SSL_pending, (const SSL* s), (s))
