// Bluetooth for bt:// on Linux: an RFCOMM socket straight to the device's
// Serial Port service, with no /dev/rfcommN in between. Without a channel
// the device's SDP records tell it (BlueZ's library).
#include "BluetoothPort.h"

#include "network/CallBefore.h"
#include "network/SocketPort.h"
#include "serial/PosixIo.h"

#include <cerrno>
#include <string>

#include <bluetooth/bluetooth.h>
#include <bluetooth/rfcomm.h>
#include <bluetooth/sdp.h>
#include <bluetooth/sdp_lib.h>
#include <sys/socket.h>

namespace {

constexpr char NoSerialPortService[] = "The device offers no Serial Port service";
constexpr char NoServiceSearchAnswer[] = "The device did not tell its Serial Port service in time";

// The RFCOMM channel of the first record in `records` that has one, or 0.
int RfcommChannelOf(sdp_list_t* records)
{
    int channel = 0;
    for (sdp_list_t* record = records; record != nullptr && channel == 0; record = record->next) {
        sdp_list_t* protocols = nullptr;
        if (sdp_get_access_protos(static_cast<sdp_record_t*>(record->data), &protocols) != 0)
            continue;
        channel = sdp_get_proto_port(protocols, RFCOMM_UUID);
        for (sdp_list_t* list = protocols; list != nullptr; list = list->next)
            sdp_list_free(static_cast<sdp_list_t*>(list->data), nullptr);
        sdp_list_free(protocols, nullptr);
    }
    return channel;
}

// Asks the device's SDP server for its Serial Port service (0x1101).
PortResult FindSerialPortChannel(const bdaddr_t& device, int& channel)
{
    const bdaddr_t any = {};
    sdp_session_t* session = sdp_connect(&any, &device, SDP_RETRY_IF_BUSY);
    if (session == nullptr)  // sdp_connect: no adapter, the device is out of reach
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, errno);
    uuid_t serialPort;
    sdp_uuid16_create(&serialPort, SERIAL_PORT_SVCLASS_ID);
    sdp_list_t* search = sdp_list_append(nullptr, &serialPort);
    uint32_t range = 0x0000ffff;
    sdp_list_t* attributes = sdp_list_append(nullptr, &range);
    sdp_list_t* records = nullptr;
    const int searched = sdp_service_search_attr_req(session, search, SDP_ATTR_REQ_RANGE, attributes, &records);
    const int searchError = errno;
    channel = searched == 0 ? RfcommChannelOf(records) : 0;
    sdp_list_free(records, reinterpret_cast<sdp_free_func_t>(sdp_record_free));
    sdp_list_free(attributes, nullptr);
    sdp_list_free(search, nullptr);
    sdp_close(session);
    if (searched != 0)
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, searchError);
    if (channel <= 0)
        return PortFailed(LinkResult::OpenFailed, PortOperation::Open, 0, NoSerialPortService);
    return PortSucceeded(PortOperation::Open);
}

// The socket comes first: a system without Bluetooth says so at once
// ("Address family not supported by protocol").
PortResult ConnectRfcomm(const std::string& address, int channel, UniqueFd& socket, Deadline deadline)
{
    UniqueFd candidate(::socket(AF_BLUETOOTH, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, BTPROTO_RFCOMM));
    if (!candidate.IsValid())
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, errno);
    sockaddr_rc remote = {};
    remote.rc_family = AF_BLUETOOTH;
    str2ba(address.c_str(), &remote.rc_bdaddr);
    int found = channel;
    if (found == 0) {
        // The SDP search waits for the device as long as BlueZ likes: it is
        // bounded by the set-up deadline as a name lookup is.
        struct Search {
            PortResult result;
            int channel = 0;
        } search;
        const bdaddr_t device = remote.rc_bdaddr;
        std::string whyNot;
        const CallEnd end = CallBefore<Search>(
            deadline,
            [device] {
                Search done;
                done.result = FindSerialPortChannel(device, done.channel);
                return done;
            },
            search, whyNot);
        if (end != CallEnd::Returned)
            return PortFailed(LinkResult::OpenFailed, PortOperation::Open, 0,
                              end == CallEnd::NotStarted ? whyNot : NoServiceSearchAnswer);
        if (!search.result.Ok())
            return search.result;
        found = search.channel;
    }
    remote.rc_channel = static_cast<uint8_t>(found);
    const PortResult connected =
        ConnectBefore(candidate.Get(), reinterpret_cast<const sockaddr*>(&remote), sizeof remote, deadline);
    if (connected.Ok())
        socket = std::move(candidate);
    return connected;
}

}  // namespace

std::unique_ptr<SerialPort> CreateBluetoothSerialPort(const std::string& address, int channel)
{
    return CreateSocketPort([address, channel](UniqueFd& socket, Deadline deadline) {
        return ConnectRfcomm(address, channel, socket, deadline);
    });
}
