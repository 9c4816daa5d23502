#include "uri_filter.h"

namespace tunewell::standin
{

// Greedy matching that, on a mismatch, lets the latest "*" swallow one more
// character: linear for one star and never exponential for many.
bool matchesUriFilter (const std::wstring& filter, const std::wstring& uri)
{
    size_t f = 0, u = 0;
    size_t starAt = std::wstring::npos, resumeAt = 0;

    while (u < uri.size())
    {
        if (f < filter.size() && filter[f] == L'*')
        {
            starAt = f++;
            resumeAt = u;
        }
        else if (f < filter.size() && filter[f] == uri[u])
        {
            ++f;
            ++u;
        }
        else if (starAt != std::wstring::npos)
        {
            f = starAt + 1;
            u = ++resumeAt;
        }
        else
        {
            return false;
        }
    }

    while (f < filter.size() && filter[f] == L'*')
        ++f;

    return f == filter.size();
}

} // namespace tunewell::standin
