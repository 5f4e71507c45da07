# libmosquitto for Windows, compiled from Debian's own source package (scripts/windows.sh fetches it
# into the build folder and names it in VELMOR_MOSQUITTO_SOURCE). Only the client library, static and
# with its threading on winpthreads: the relay needs no broker, clients, plugins, cJSON or docs, and no
# TLS (OpenSSL would have to be cross-built as well).
set(VELMOR_MOSQUITTO_SOURCE "" CACHE PATH "Unpacked Debian source of mosquitto (apt-get source mosquitto)")
if(NOT EXISTS "${VELMOR_MOSQUITTO_SOURCE}/lib/mosquitto.c")
    message(FATAL_ERROR "VELMOR_MOSQUITTO_SOURCE must name an unpacked mosquitto source; scripts/windows.sh "
                        "fetches one")
endif()

file(STRINGS "${VELMOR_MOSQUITTO_SOURCE}/CMakeLists.txt" mosquitto_version_line REGEX "^set \\(VERSION ")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" mosquitto_version "${mosquitto_version_line}")

set(mosquitto_lib ${VELMOR_MOSQUITTO_SOURCE}/lib)
add_library(mosquitto_static STATIC
    ${mosquitto_lib}/actions.c ${mosquitto_lib}/callbacks.c ${mosquitto_lib}/connect.c
    ${mosquitto_lib}/handle_auth.c ${mosquitto_lib}/handle_connack.c ${mosquitto_lib}/handle_disconnect.c
    ${mosquitto_lib}/handle_ping.c ${mosquitto_lib}/handle_pubackcomp.c ${mosquitto_lib}/handle_publish.c
    ${mosquitto_lib}/handle_pubrec.c ${mosquitto_lib}/handle_pubrel.c ${mosquitto_lib}/handle_suback.c
    ${mosquitto_lib}/handle_unsuback.c ${mosquitto_lib}/helpers.c ${mosquitto_lib}/logging_mosq.c
    ${mosquitto_lib}/loop.c ${mosquitto_lib}/memory_mosq.c ${mosquitto_lib}/messages_mosq.c
    ${mosquitto_lib}/misc_mosq.c ${mosquitto_lib}/mosquitto.c ${mosquitto_lib}/net_mosq_ocsp.c
    ${mosquitto_lib}/net_mosq.c ${mosquitto_lib}/options.c ${mosquitto_lib}/packet_datatypes.c
    ${mosquitto_lib}/packet_mosq.c ${mosquitto_lib}/property_mosq.c ${mosquitto_lib}/read_handle.c
    ${mosquitto_lib}/send_connect.c ${mosquitto_lib}/send_disconnect.c ${mosquitto_lib}/send_mosq.c
    ${mosquitto_lib}/send_publish.c ${mosquitto_lib}/send_subscribe.c ${mosquitto_lib}/send_unsubscribe.c
    ${mosquitto_lib}/socks_mosq.c ${mosquitto_lib}/srv_mosq.c ${mosquitto_lib}/strings_mosq.c
    ${mosquitto_lib}/thread_mosq.c ${mosquitto_lib}/time_mosq.c ${mosquitto_lib}/tls_mosq.c
    ${mosquitto_lib}/utf8_mosq.c ${mosquitto_lib}/util_mosq.c ${mosquitto_lib}/util_topic.c
    ${mosquitto_lib}/will_mosq.c
)
target_include_directories(mosquitto_static
    PUBLIC ${VELMOR_MOSQUITTO_SOURCE}/include
    PRIVATE ${VELMOR_MOSQUITTO_SOURCE} ${mosquitto_lib} ${VELMOR_MOSQUITTO_SOURCE}/deps)
target_compile_definitions(mosquitto_static
    PUBLIC LIBMOSQUITTO_STATIC
    PRIVATE WIN32 WITH_THREADING VERSION="${mosquitto_version}")
# Not our code: its own warnings are Debian's and upstream's business.
target_compile_options(mosquitto_static PRIVATE -w)
target_link_libraries(mosquitto_static PUBLIC ws2_32)
# Every file of it parses <windows.h> and <winsock2.h>: compiled a dozen at a time, it takes a fifth
# of the time. Its files define no clashing names, and the relay's tests run on what comes out.
set_target_properties(mosquitto_static PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 12)
