// The effect's parameters: three sliders that steer the smoothing, and a group "color key" with a
// checkbox that switches keying on and three controls that only matter while it is on.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "param_registry.h"
#include "render_job.h"

namespace {

ParamRegistry gRegistry{{}, {}, 0, 0, 1};

// Persistent ids: projects store parameters by these, so they never change.
enum ParamId : A_u_long {
  kIdColorThreshold = 1,
  kIdSoftness = 2,
  kIdColorKeyEnable = 3,
  kIdKeyColor = 4,
  kIdKeyColorThreshold = 5,
  kIdInvert = 6,
  kIdBias = 7,
  kIdColorKeyGroup = 1000,
  kIdColorKeyGroupEnd = 1001,
};

void append(BaseParam* descriptor, A_u_long id, std::size_t offset, std::size_t size, A_u_long controllerId) {
  descriptor->id = id;
  descriptor->valueOffset = static_cast<A_u_long>(offset);
  descriptor->valueSize = static_cast<A_u_long>(size);
  descriptor->controllerId = controllerId;
  gRegistry.byId[gRegistry.descriptorCount++] = descriptor;
}

}  // namespace

ParamRegistry& paramRegistry() { return gRegistry; }

void destroyParamSet() {
  for (BaseParam*& descriptor : gRegistry.byId) {
    delete descriptor;
    descriptor = nullptr;
  }
  std::fill(std::begin(gRegistry.byIndex), std::end(gRegistry.byIndex), nullptr);
  gRegistry.descriptorCount = 0;
  gRegistry.paramCount = 0;
}

void buildParamSet() {
  destroyParamSet();
  // A rebuild starts the indices afresh, so that the set always sits at 1 to 9 after the input
  // layer however often it is built.
  gRegistry.nextIndex = 1;

  PF_ParamDef collapsed{};
  collapsed.flags = PF_ParamFlag_START_COLLAPSED;
  PF_ParamDef group = collapsed;
  group.flags = 0;

  append(new ParamAddSlider("color threshold", &collapsed, 1, 1020, 1, 255, 10), kIdColorThreshold,
         offsetof(RenderJob, colorThreshold), sizeof(RenderJob::colorThreshold), 0);
  append(new ParamAddSlider("softness", &collapsed, 0, 100, 0, 100, 70), kIdSoftness, offsetof(RenderJob, softness),
         sizeof(RenderJob::softness), 0);
  append(new ParamAddSlider("bias", &collapsed, 0, 100, 0, 100, 0), kIdBias, offsetof(RenderJob, bias),
         sizeof(RenderJob::bias), 0);
  append(new ParamAddTopic("color key", &group), kIdColorKeyGroup, 0, 0, 0);
  append(new ParamAddCheckbox("color key enable", &collapsed, "", 0, PF_ParamFlag_SUPERVISE), kIdColorKeyEnable,
         offsetof(RenderJob, colorKeyEnable), sizeof(RenderJob::colorKeyEnable), 0);
  append(new ParamAddColor("key color", &collapsed, PF_Pixel{255, 255, 255, 255}), kIdKeyColor,
         offsetof(RenderJob, keyColor), sizeof(RenderJob::keyColor), kIdColorKeyEnable);
  append(new ParamAddSlider("key color threshold", &collapsed, 0, 1020, 0, 255, 0), kIdKeyColorThreshold,
         offsetof(RenderJob, keyColorThreshold), sizeof(RenderJob::keyColorThreshold), kIdColorKeyEnable);
  append(new ParamAddCheckbox("invert", &collapsed, "", 0, 0), kIdInvert, offsetof(RenderJob, invert),
         sizeof(RenderJob::invert), kIdColorKeyEnable);
  append(new ParamEndTopic(""), kIdColorKeyGroupEnd, 0, 0, 0);

  BaseParam** const used = gRegistry.byId + gRegistry.descriptorCount;
  std::sort(gRegistry.byId, used, [](const BaseParam* a, const BaseParam* b) { return a->id < b->id; });
  std::copy(gRegistry.byId, used, gRegistry.byIndex + 1);
  std::sort(gRegistry.byIndex + 1, gRegistry.byIndex + 1 + gRegistry.descriptorCount,
            [](const BaseParam* a, const BaseParam* b) { return a->index < b->index; });
  gRegistry.paramCount = gRegistry.descriptorCount + 1;

  for (A_long i = 1; i <= gRegistry.descriptorCount; ++i) {
    BaseParam& descriptor = *gRegistry.byIndex[i];
    BaseParam** found = std::lower_bound(gRegistry.byId, used, descriptor.controllerId,
                                         [](const BaseParam* p, A_u_long id) { return p->id < id; });
    descriptor.controllerIndex = found != used && (*found)->id == descriptor.controllerId ? (*found)->index : 0;
  }
}
