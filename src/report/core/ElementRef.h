#pragma once

// Where an element of a template sits: in the list printed once per slip, or
// in the cheque-line band; index counts from 0 within that list.
struct ElementRef {
    bool inBand = false;
    int index = 0;

    bool operator==(const ElementRef&) const = default;
    // The page's elements first, then the band's, each in their order.
    bool operator<(const ElementRef& other) const {
        return inBand != other.inBand ? !inBand : index < other.index;
    }
};
