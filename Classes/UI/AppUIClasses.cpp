#include "AppUI/AppUIClasses.h"

#include "AppUI/AboutViewController.h"
#include "AppUI/AdsTableViewController.h"
#include "AppUI/AssetViewController.h"
#include "AppUI/BaloonView.h"
#include "AppUI/HorizontalItemsView.h"
#include "AppUI/ImageSwapView.h"
#include "AppUI/MainViewController.h"
#include "AppUI/VerticalItemsView.h"

namespace AppUIClasses {

void registerAll() {
  HorizontalItemsView::registerViewClass();
  VerticalItemsView::registerViewClass();
  BaloonView::registerViewClass();
  ImageSwapView::registerViewClass();
  AboutViewController::registerClass();
  AdsTableViewController::registerClass();
  AssetViewController::registerClass();
  MainViewController::registerClass();
}

}  // namespace AppUIClasses
