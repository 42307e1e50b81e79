#include "platform/wlclipboard/DataControlClearing.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/protocols/wlr-data-control-unstable-v1-client-protocol.h"
#include <wayland-client.h>

namespace ql {

bool DataControlClearing::offeredBy(const WaylandConnection& connection) {
    return connection.offers(zwlr_data_control_manager_v1_interface.name);
}

DataControlClearing::DataControlClearing(std::shared_ptr<WaylandConnection> connection)
    : connection_(std::move(connection)) {
    if (!connection_) return;
    wl_seat* seat = connection_->seat();
    manager_ = connection_->bind<zwlr_data_control_manager_v1>(&zwlr_data_control_manager_v1_interface, 1);
    if (!seat || !manager_) return;
    device_ = zwlr_data_control_manager_v1_get_data_device(manager_, seat);
    static const zwlr_data_control_device_v1_listener listener = {&onDataOffer, &onSelection, &onFinished,
                                                                  &onPrimarySelection};
    zwlr_data_control_device_v1_add_listener(device_, &listener, this);
    connection_->roundTrip(); // the current selection
}

DataControlClearing::~DataControlClearing() {
    dropOffer(incoming_);
    dropOffer(selection_);
    if (device_) zwlr_data_control_device_v1_destroy(device_);
    if (manager_) zwlr_data_control_manager_v1_destroy(manager_);
}

bool DataControlClearing::available() const { return device_ != nullptr && !connection_->broken(); }

bool DataControlClearing::holdsOwnCopy() {
    if (!available()) return false;
    connection_->roundTrip(); // the owner changes that are on their way
    return selection_ && selection_->types.count(kOwnClipboardType) != 0;
}

bool DataControlClearing::clear() {
    if (!holdsOwnCopy()) return false;
    zwlr_data_control_device_v1_set_selection(device_, nullptr);
    return connection_->roundTrip();
}

void DataControlClearing::dropOffer(std::unique_ptr<Offer>& offer) {
    if (offer && offer->proxy) zwlr_data_control_offer_v1_destroy(offer->proxy);
    offer.reset();
}

void DataControlClearing::onDataOffer(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* proxy) {
    auto* self = static_cast<DataControlClearing*>(data);
    self->dropOffer(self->incoming_);
    self->incoming_ = std::make_unique<Offer>();
    self->incoming_->proxy = proxy;
    static const zwlr_data_control_offer_v1_listener listener = {&onOfferType};
    zwlr_data_control_offer_v1_add_listener(proxy, &listener, self->incoming_.get());
}

void DataControlClearing::onSelection(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* proxy) {
    auto* self = static_cast<DataControlClearing*>(data);
    self->dropOffer(self->selection_);
    if (proxy && self->incoming_ && self->incoming_->proxy == proxy) self->selection_ = std::move(self->incoming_);
}

// The primary selection (middle-click pasting) is not ours to clear; its
// offers are let go at once.
void DataControlClearing::onPrimarySelection(void* data, zwlr_data_control_device_v1*,
                                             zwlr_data_control_offer_v1* proxy) {
    auto* self = static_cast<DataControlClearing*>(data);
    if (proxy && self->incoming_ && self->incoming_->proxy == proxy) self->dropOffer(self->incoming_);
}

void DataControlClearing::onFinished(void* data, zwlr_data_control_device_v1*) {
    auto* self = static_cast<DataControlClearing*>(data);
    self->dropOffer(self->incoming_);
    self->dropOffer(self->selection_);
    zwlr_data_control_device_v1_destroy(self->device_);
    self->device_ = nullptr;
}

void DataControlClearing::onOfferType(void* data, zwlr_data_control_offer_v1*, const char* type) {
    static_cast<Offer*>(data)->types.insert(type);
}

} // namespace ql
