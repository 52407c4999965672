#include "UI/InterfaceLoader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <sstream>

#include "Foundation/Console.h"
#include "UI/InterfaceContext.h"
#include "UI/UIControl.h"
#include "UI/ViewClassRegistry.h"

namespace platform {
namespace {

struct Build {
  const std::string& file;
  const std::string& text;
  InterfaceContext context;
  OutletRegistry outlets;
  ActionRegistry actions;
  std::vector<std::pair<const OutletRegistry::Binder*, std::shared_ptr<UIView>>> bindings;
  struct Connection {
    std::shared_ptr<UIControl> control;
    UIControlEvents events;
    const ActionRegistry::Action* action;
  };
  std::vector<Connection> connections;
  std::vector<std::shared_ptr<UIView>> all;
  std::string error;

  int lineOf(const pugi::xml_node& node) const {
    auto offset = static_cast<size_t>(std::max<std::ptrdiff_t>(0, node.offset_debug()));
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
  }
  void fail(const pugi::xml_node& node, const std::string& message) {
    error =
        file + ":" + std::to_string(lineOf(node)) + ": element <" + node.name() + ">: " + message;
  }
};

// "action" is touch up inside; "action.<event>" names the event.
std::optional<UIControlEvents> actionEvents(const std::string& attribute) {
  static const std::map<std::string, UIControlEvents> events = {
      {"action", UIControlEventTouchUpInside},
      {"action.touchDown", UIControlEventTouchDown},
      {"action.touchDownRepeat", UIControlEventTouchDownRepeat},
      {"action.touchDragInside", UIControlEventTouchDragInside},
      {"action.touchDragOutside", UIControlEventTouchDragOutside},
      {"action.touchDragEnter", UIControlEventTouchDragEnter},
      {"action.touchDragExit", UIControlEventTouchDragExit},
      {"action.touchUpInside", UIControlEventTouchUpInside},
      {"action.touchUpOutside", UIControlEventTouchUpOutside},
      {"action.touchCancel", UIControlEventTouchCancel},
      {"action.valueChanged", UIControlEventValueChanged}};
  auto it = events.find(attribute);
  if (it == events.end()) return std::nullopt;
  return it->second;
}

// Checks an action attribute and keeps it for binding once the whole file is good.
bool connectAction(Build& build, const pugi::xml_node& node, const std::shared_ptr<UIView>& view,
                   const std::string& attribute, const std::string& value) {
  auto events = actionEvents(attribute);
  if (!events) {
    build.fail(node, "unknown control event in \"" + attribute + "\"");
    return false;
  }
  auto control = std::dynamic_pointer_cast<UIControl>(view);
  if (!control) {
    build.fail(node, "a " + view->className() + " is not a control and sends no actions");
    return false;
  }
  const ActionRegistry::Action* action = build.actions.find(value);
  if (!action) {
    build.fail(node, "the owner has no action \"" + value + "\"");
    return false;
  }
  build.connections.push_back({control, *events, action});
  return true;
}

std::shared_ptr<UIView> buildView(Build& build, const pugi::xml_node& node) {
  auto view = ViewClassRegistry::create(node.name());
  if (!view) {
    build.fail(node, std::string("unknown class \"") + node.name() + "\"");
    return nullptr;
  }
  for (const pugi::xml_attribute& attribute : node.attributes()) {
    std::string name = attribute.name(), value = attribute.value();
    if (name == "outlet") {
      const OutletRegistry::Binder* binder = build.outlets.find(value);
      if (!binder) {
        build.fail(node, "the owner has no outlet \"" + value + "\"");
        return nullptr;
      }
      std::string message;
      if (!(*binder)(view, false, message)) {
        build.fail(node, message);
        return nullptr;
      }
      build.bindings.emplace_back(binder, view);
      continue;
    }
    if (name == "action" || name.starts_with("action.")) {
      if (!connectAction(build, node, view, name, value)) return nullptr;
      continue;
    }
    std::string message;
    if (!view->applyAttribute(name, value, build.context, message)) {
      build.fail(node, "attribute \"" + name + "\": " + message);
      return nullptr;
    }
  }
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    auto subview = buildView(build, child);
    if (!subview) return nullptr;
    view->addSubview(subview);
  }
  build.all.push_back(view);
  return view;
}

}  // namespace

InterfaceLoader::Result InterfaceLoader::loadNibNamed(const std::string& name,
                                                      InterfaceOwner* owner,
                                                      std::shared_ptr<Bundle> bundle) {
  if (!bundle) bundle = Bundle::mainBundle();
  auto path = bundle ? bundle->pathForResource(name, "ui") : std::nullopt;
  if (!path) {
    Result result;
    result.error = name + ".ui: no such interface file";
    Console::log(result.error);
    return result;
  }
  return loadFile(*path, owner, std::move(bundle));
}

InterfaceLoader::Result InterfaceLoader::loadFile(const std::string& path, InterfaceOwner* owner,
                                                  std::shared_ptr<Bundle> bundle) {
  std::string name = std::filesystem::path(path).filename().string();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Result result;
    result.error = name + ": cannot be read";
    Console::log(result.error);
    return result;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return loadString(text.str(), name, owner, std::move(bundle));
}

InterfaceLoader::Result InterfaceLoader::loadString(const std::string& xml,
                                                    const std::string& fileName,
                                                    InterfaceOwner* owner,
                                                    std::shared_ptr<Bundle> bundle) {
  if (!bundle) bundle = Bundle::mainBundle();
  Result result;
  Build build{fileName, xml, InterfaceContext(bundle), {}, {}, {}, {}, {}, {}};
  if (owner) {
    owner->registerOutlets(build.outlets);
    owner->registerActions(build.actions);
  }
  pugi::xml_document document;
  pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size());
  pugi::xml_node root = document.document_element();
  if (!parsed) {
    size_t offset =
        std::min(static_cast<size_t>(std::max<std::ptrdiff_t>(0, parsed.offset)), xml.size());
    int line = 1 + static_cast<int>(std::count(xml.begin(), xml.begin() + offset, '\n'));
    build.error = fileName + ":" + std::to_string(line) + ": not well-formed XML (" +
                  parsed.description() + ")";
  } else if (std::string(root.name()) != "interface") {
    build.fail(root, "the root element must be <interface>");
  } else {
    for (const pugi::xml_node& node : root.children()) {
      if (node.type() != pugi::node_element) continue;
      auto view = buildView(build, node);
      if (!view) break;
      result.topLevelViews.push_back(view);
    }
  }
  if (!build.error.empty()) {
    result.topLevelViews.clear();
    result.error = build.error;
    Console::log(result.error);
    return result;
  }
  // Checked while building: binding now cannot fail, so a bad file leaves the owner untouched.
  std::string unused;
  for (auto& [binder, view] : build.bindings) (*binder)(view, true, unused);
  std::weak_ptr<const void> lifetime = owner ? owner->ownerLifetime() : std::weak_ptr<const void>();
  // An empty reference (expired from the start) means an owner that outlives its views.
  bool watched = !lifetime.expired();
  for (auto& c : build.connections) {
    c.control->addTarget(
        [action = *c.action, lifetime, watched](UIControl& sender) {
          auto alive = lifetime.lock();  // held across the call
          if (watched && !alive) return;
          action(sender);
        },
        c.events);
  }
  for (auto& view : build.all) view->awakeFromNib();
  return result;
}

}  // namespace platform
