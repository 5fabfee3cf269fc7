#include "ports/availability.h"

namespace tamarind {

std::string_view Describe(Availability availability) {
  switch (availability) {
    case Availability::NotProbed:
      return "not probed";
    case Availability::Available:
      return "available";
    case Availability::NoDevice:
      return "no device in the port map";
    case Availability::Absent:
      return "device not found";
    case Availability::HeldByOther:
      return "held by another program";
    case Availability::PermissionDenied:
      return "permission denied";
    case Availability::SystemConsole:
      return "system console";
    case Availability::OpenFailed:
      return "could not be opened";
  }
  return "could not be opened";
}

}  // namespace tamarind
