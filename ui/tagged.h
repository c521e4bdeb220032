// The integer Tag that every control carries; painters and shared handlers recognise controls by
// their kind and Tag, never by name.
#pragma once

class QObject;

class Tagged {
public:
    virtual ~Tagged() = default;
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

private:
    int m_tag = 0;
};

// The Tag of a control, 0 for anything that carries none.
int tagOf(const QObject* control);
