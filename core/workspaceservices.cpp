#include "workspaceservices.h"

TWindowServices& WindowServices() {
  static TWindowServices services;
  return services;
}
