// The module registry lists module classes in the order they were registered, whatever their
// names: the registry knows no module by name.
#include "process/ModuleRegistry.h"

#include <gtest/gtest.h>

namespace {

CDspView* NoView() {
    return nullptr;
}

TEST(ModuleRegistry, ListsClassesInRegistrationOrderAndAReplacementKeepsItsPlace) {
    static const CModuleClass soundIO{"SoundIO", &NoView};
    static const CModuleClass generator{"Signal Generator", &NoView};
    static const CModuleClass mine{"My Module", &NoView};
    static const CModuleClass otherGenerator{"Signal Generator", &NoView};
    CModuleRegistry registry;
    registry.Register(&soundIO);
    registry.Register(&generator);
    registry.Register(&mine);
    const std::vector<std::string> order{"SoundIO", "Signal Generator", "My Module"};
    EXPECT_EQ(registry.GetNames(), order);
    registry.Register(&otherGenerator);
    EXPECT_EQ(registry.GetNames(), order);
    EXPECT_EQ(registry.Find("Signal Generator"), &otherGenerator);
    EXPECT_EQ(registry.Find("signal generator"), nullptr);
}

} // namespace
