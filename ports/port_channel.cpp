#include "ports/port_channel.h"

#include "ports/serial_backend.h"

namespace tamarind {

void CutToken(std::string& token, std::string& text, char separator) {
  const std::size_t length = text.size();
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == separator) {
      token = text.substr(0, i);
      text.erase(0, i + 1);
      return;
    }
    // A control byte, or any byte from 0x80 up (negative as a signed char), ends the whole text.
    if (static_cast<signed char>(text[i]) < 32) {
      text.resize(i);
      break;
    }
  }
  token = text;
  text.clear();
}

OpenRequest MakeOpenRequest(const PortContext& context, std::string_view specification) {
  std::string work(specification);
  OpenRequest request;
  CutToken(request.port_name, work, ',');
  request.device = context.map.DevicePath(request.port_name);

  std::string token;
  request.definition = request.port_name + ":Baud=";
  CutToken(token, work, ',');
  request.definition += token + " Parity=";
  CutToken(token, work, ',');
  request.definition += token + " Data=";
  // Only the first character of the data-bits field counts.
  if (!work.empty()) request.definition += work.front();
  request.definition += " Stop=1";
  return request;
}

PortHandle OpenPort(PortContext& context, std::string_view specification, Availability* why) {
  const OpenRequest request = MakeOpenRequest(context, specification);
  serial_backend::OpenOutcome outcome;
  if (request.device.empty()) {
    outcome.why = Availability::NoDevice;
  } else {
    outcome = serial_backend::OpenDevice(request.device);
  }
  if (why != nullptr) *why = outcome.why;
  if (outcome.handle.IsNoPort()) return kNoPort;

  // Whatever the parse managed is applied: a port that opened is returned even if its settings
  // were refused, configured with what the shared record then holds.
  ParseCommDefinition(request.definition, context.device_control);
  serial_backend::ApplyDeviceControl(outcome.handle, context.device_control);
  return outcome.handle;
}

PortHandle ClosePort(PortHandle handle) {
  if (!handle.IsNoPort()) serial_backend::CloseDevice(handle);
  return kNoPort;
}

void WritePort(PortHandle handle, std::string_view bytes) {
  if (handle.IsNoPort() || bytes.empty()) return;
  serial_backend::WriteDevice(handle, bytes);
}

std::size_t ReadPort(PortHandle handle, std::string& buffer) {
  if (handle.IsNoPort()) return 0;
  return serial_backend::ReadDevice(handle, buffer);
}

}  // namespace tamarind
