// Socket and HTTP download commands of the language: IPv4 sockets through
// small slot numbers, address conversion and a one-shot HTTP/1.0 GET.
//
// Address numbers carry the first octet in the highest byte (127.0.0.1 is
// 2130706433). Failures return -1, false or the empty text and leave the
// system's code in the last socket error (SocketErrorText).
#pragma once

#include <cstdint>

#include "../core/rt_string.h"

// Starts the socket layer, or counts one more start; true on success.
bool SocketStart();
// Counts one stop; the last one closes every slot. The starts still counted.
int32_t SocketStop();

// Listening TCP socket on every local address at the port; slot or -1.
int32_t TcpListen(int32_t port);
// Takes one pending connection (none: -1 at once); the peer's address
// number goes into address. Slot or -1.
int32_t TcpAccept(int32_t slot, int32_t& address);
// Connects, waiting at most timeoutMs (0 or less, or above 30000: 30000).
// Slot or -1; a failed connect leaves no slot in use.
int32_t TcpConnect(const RtString& host, int32_t port, int32_t timeoutMs);
// UDP socket bound to the port (0: not bound) with broadcast allowed.
int32_t UdpOpen(int32_t port);

// Sends every byte of the text on a TCP slot; the count sent or -1.
int32_t SocketSend(int32_t slot, const RtString& text);
// Sends the text as one datagram to address and port; the count or -1.
int32_t UdpSendTo(int32_t slot, const RtString& text, int32_t address, int32_t port);
// Receives once, at most maxBytes bytes, into output (zero bytes kept).
// The count; 0 when the peer closed or reset; -2 when nothing is waiting;
// -1 on other errors. Output is empty unless bytes came.
int32_t SocketReceive(int32_t slot, RtString& output, int32_t maxBytes);
// Frees the slot and closes its socket (TCP at once, unsent bytes dropped);
// true when the close succeeded.
bool SocketClose(int32_t slot);

// The first IPv4 address of a name ("" is this machine); -1 when unknown.
int32_t HostAddress(const RtString& name);
// "a.b.c.d", first octet first.
RtString AddressText(int32_t address);
// The machine's own IPv4 addresses without the loop-back ones, joined by
// "|"; empty when there are none.
RtString LocalAddresses();
// "code message" for the last socket error; empty when the system has no
// message for the code.
RtString SocketErrorText();

// HTTP/1.0 GET of path from host:port (0: 80); the body replaces the file.
// False, leaving any old file as it was, when the transfer fails.
bool HttpGetFile(const RtString& host, const RtString& path, int32_t port,
                 const RtString& fileName, int32_t timeoutMs);
// HTTP/1.0 GET; the first maxLength bytes of the body (up to its first zero
// byte), or the empty text when the transfer fails.
RtString HttpGetText(const RtString& host, const RtString& path, int32_t port,
                     int32_t maxLength, int32_t timeoutMs);
