#include "GeneralTools/AppDelegateScreens.h"

#include "UI/UIApplication.h"

AppDelegateScreens* AppDelegateScreens::current() {
  return dynamic_cast<AppDelegateScreens*>(
      platform::UIApplication::sharedApplication().delegate().get());
}
