// The module's struct component, registered with the runtime once per
// benchmark process, as a host that registered the module has it: binding
// reads structs into it, and responses carry structs made from it.
#ifndef QXSOAP_BENCH_STRUCT_COMPONENT_H_
#define QXSOAP_BENCH_STRUCT_COMPONENT_H_

namespace qxsoap::bench {

// Registers it on the first call; aborts when that fails.
void RegisterStructComponent();

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_STRUCT_COMPONENT_H_
