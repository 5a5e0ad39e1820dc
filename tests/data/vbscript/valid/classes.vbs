' Classes: variables, methods, properties, default member, events.
' procedures: UseClasses/0/Sub
Class Account
    Private m_balance, m_owner
    Public Name
    Dim History(), Count

    Private Sub Class_Initialize()
        m_balance = 0
        ReDim History(0)
    End Sub

    Private Sub Class_Terminate
        Set m_owner = Nothing
    End Sub

    Public Default Property Get Balance
        Balance = m_balance
    End Property

    Public Property Let Balance(value)
        If value < -100 Then Exit Property
        m_balance = value
    End Property

    Property Get Owner()
        Set Owner = m_owner
    End Property

    Property Set Owner(value)
        Set m_owner = value
    End Property

    Public Property Get Entry(index)
        Entry = History(index)
    End Property

    Public Property Let Entry(index, value)
        History(index) = value
    End Property

    Public Sub Deposit(amount)
        Me.Balance = Me.Balance + amount
        Count = Count + 1
        Me.Log "deposit", amount
    End Sub

    Private Function Log(kind, amount)
        Log = kind & " " & amount
    End Function

    Function Self()
        Set Self = Me
    End Function
End Class

Class Empty_Class
End Class

Class Shape : Public Sides : End Class

Sub UseClasses
    Dim acc
    Set acc = New Account
    acc.Deposit 10
    acc.Balance = 5
    Set acc.Owner = New Shape
    acc.Owner.Sides = 3
    WScript.Echo acc, acc.Entry(0), acc.Self().Name
    Set acc = Nothing
    Dim e : Set e = new Empty_Class
End Sub
