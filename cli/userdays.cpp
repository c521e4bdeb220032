#include "cli/userdays.h"

UserDays::UserDays(const StoredSettings& settings, const QString& dataBase)
    : m_store(daysFilePath(dataBase)), m_schedule(&m_store) {
    m_schedule.setCurrentAssignment(assignmentItems().at(assignmentIndex(settings.assignment)));
    m_schedule.setPayPeriodStart(settings.payPeriodStart);
}
